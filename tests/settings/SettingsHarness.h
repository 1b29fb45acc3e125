#pragma once

// A settings root on a model with fake time, as the settings window shows
// it, with helpers to reach the controls of the page shown.

#include <QAbstractButton>
#include <QDir>
#include <QTest>

#include "appmodel/ModelHarness.h"
#include "settings/SettingsRoot.h"

namespace corvane::testing {

struct SettingsHarness : ModelHarness {
    std::unique_ptr<SettingsRoot> root;

    SettingsRoot& open(const AppSettings& settings, SettingsCategory category, QSize size = {820, 520}) {
        writeSettings(settings);
        AppModel& m = make();
        m.setSelectedCategory(category);
        root = std::make_unique<SettingsRoot>(m);
        root->resize(size);
        root->show();
        settle();
        return *root;
    }
    SettingsRoot& open(SettingsCategory category) { return open(quietSettings(), category); }

    QWidget* page() const { return root->view()->page(); }

    // The one widget of type T on the page whose text (or accessible name)
    // is `text`.
    template <typename T>
    T* find(const QString& text) const {
        T* found = nullptr;
        for (T* w : page()->findChildren<T*>()) {
            QString shown;
            if constexpr (std::is_base_of_v<QAbstractButton, T>) shown = w->text();
            if (shown != text && w->accessibleName() != text) continue;
            EXPECT_EQ(found, nullptr) << "two controls named " << text.toStdString();
            found = w;
        }
        EXPECT_NE(found, nullptr) << "no control named " << text.toStdString();
        return found;
    }

    void click(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
        settle();
    }

    QString shoot(const QString& name) {
        QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
        const QString path = QStringLiteral(CORVANE_BUILD_DIR "/screenshots/") + name + ".png";
        settle();
        root->grab().save(path);
        return path;
    }

    ~SettingsHarness() { root.reset(); }
};

}  // namespace corvane::testing
