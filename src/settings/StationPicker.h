#pragma once

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "services/Sonvela.h"

class QLineEdit;
class QListWidget;
class QStackedWidget;

namespace corvane {

class Caption;
class WarningText;
class Spinner;

// The search box behind "Suchen …": the user types part of a station name,
// and after a short pause (or Return) the directory is asked for the most
// popular matches. A click on a row hands that station to the creator; the
// picker writes no setting itself and keeps its query and list only while it
// exists.
class StationPicker : public QWidget {
    Q_OBJECT
public:
    enum class SearchState { idle, searching, done, failed };
    using PickAction = std::function<void(const Sonvela::Station&)>;

    static constexpr int kPauseMs = 450;
    static constexpr int kWidth = 360;
    static constexpr int kListHeight = 260;

    explicit StationPicker(PickAction onPick, Sonvela::DirectoryOptions directory = {},
                           QWidget* parent = nullptr);
    ~StationPicker() override;

    QString query() const;
    const QList<Sonvela::Station>& results() const { return results_; }
    SearchState state() const { return state_; }

    // Cancels whatever search is waiting or running and starts one for the
    // current query, after the typing pause or at once.
    void restartSearch(bool pause);

    QLineEdit* searchField() const { return field_; }
    QListWidget* resultList() const { return list_; }
    // The status line as shown; empty when nothing is shown.
    QString statusText() const;

Q_SIGNALS:
    // After every change of `state()` or `results()`.
    void searchUpdated();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runSearch(const QString& query);
    void requestFinished(Sonvela::StationRequest* request);
    void dropRequest();
    void present(SearchState state, QList<Sonvela::Station> results);
    void rowClicked(int row);

    PickAction onPick_;
    Sonvela::DirectoryOptions directory_;
    QList<Sonvela::Station> results_;
    SearchState state_ = SearchState::idle;
    QTimer pause_;
    QString waitingQuery_;
    // The request of the current search; a superseded one is cancelled and
    // deleted, so its late answer never arrives.
    QPointer<Sonvela::StationRequest> request_;

    QLineEdit* field_;
    QStackedWidget* status_;
    Caption* idleCaption_;
    QWidget* searchingRow_;
    Spinner* spinner_;
    Caption* emptyCaption_;
    WarningText* failedWarning_;
    QWidget* nothing_;
    QListWidget* list_;
};

// A small turning arc, running only while it is visible.
class Spinner : public QWidget {
    Q_OBJECT
public:
    explicit Spinner(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {16, 16}; }
    bool isTurning() const { return timer_.isActive(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int step_ = 0;
};

}  // namespace corvane
