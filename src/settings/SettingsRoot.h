#pragma once

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QPainterPath>
#include <QWidget>
#include <vector>

#include "appmodel/SettingsCategory.h"
#include "shell/components/FocusRing.h"

class QLabel;
class QScrollArea;

namespace corvane {

class AppModel;
class ThemeProvider;

// One row of the sidebar: selection bar, symbol and title. It is selected
// when the model's selected category is its own, so the highlight follows
// every change of the selection, wherever it came from.
class CategoryButton : public QAbstractButton, public FocusShaped {
    Q_OBJECT
public:
    CategoryButton(AppModel& model, SettingsCategory category, QWidget* parent = nullptr);

    SettingsCategory category() const { return category_; }
    bool isSelected() const;
    static QString symbolOf(SettingsCategory category);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    FocusOutline focusOutline() const override { return {QRectF(rect()), 6}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AppModel& model_;
    SettingsCategory category_;
    const QPainterPath* symbol_;
};

// The sidebar of the eight categories beside the page of the selected one,
// under its title. The page scrolls; the title stays.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSidebarWidth = 190;

    explicit SettingsView(AppModel& model, QWidget* parent = nullptr);

    const std::vector<CategoryButton*>& categoryButtons() const { return buttons_; }
    QWidget* sidebar() const { return sidebar_; }
    QLabel* pageTitle() const { return title_; }
    QScrollArea* scrollArea() const { return scroll_; }
    // The page shown now; a new one after every change of the category.
    QWidget* page() const { return page_; }

private:
    void showSelectedPage();

    AppModel& model_;
    QWidget* sidebar_;
    std::vector<CategoryButton*> buttons_;
    QLabel* title_;
    QScrollArea* scroll_;
    QWidget* page_ = nullptr;
};

// The whole content of the settings window: the view in the model's current
// palette, which also reaches the plain Qt controls of the pages, and is
// renewed at once when the theme or the dusk changes it.
class SettingsRoot : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 820;
    static constexpr int kMinHeight = 520;

    explicit SettingsRoot(AppModel& model, QWidget* parent = nullptr);

    SettingsView* view() const { return view_; }
    ThemeProvider* themeProvider() const { return provider_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyTheme();

    AppModel& model_;
    ThemeProvider* provider_;
    SettingsView* view_;
    // Runs from construction to the first paint while CORVANE_REPORT_FIRST_FRAME
    // is set; invalid otherwise.
    QElapsedTimer opening_;
};

}  // namespace corvane
