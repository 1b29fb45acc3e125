#pragma once

#include <QWidget>
#include <optional>

namespace corvane {

class AppModel;

// The second window, beside the clock window. Its pages come with the
// settings screens; until then it holds a plain page. Closing it and Esc
// inside it tell the model that the settings are closed.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 940;
    static constexpr int kHeight = 640;
    static constexpr int kMinWidth = 820;
    static constexpr int kMinHeight = 520;

    SettingsWindow(AppModel& model, QString stateFile);
    ~SettingsWindow() override;

    // Puts the window where it stood last time; false when it never stood
    // anywhere.
    bool restoreFrame();
    // The reason when the frame could not be stored.
    std::optional<QString> saveFrame() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    AppModel& model_;
    QString stateFile_;
    bool closing_ = false;  // from the close until the hide it causes
};

}  // namespace corvane
