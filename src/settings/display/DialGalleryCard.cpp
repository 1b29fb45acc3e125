#include "settings/display/DialGalleryCard.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>

#include "appmodel/AppModel.h"
#include "settings/display/DesignTile.h"
#include "shell/components/TextLines.h"
#include "shell/components/ThemedButton.h"

namespace corvane {

namespace {
const int kImageTile = int(allCases<DialStyle>().size());
}

DialGalleryCard::DialGalleryCard(AppModel& model, QWidget* parent)
    : Card(QMargins(14, 12, 14, 12), parent), model_(model) {
    addWidget(new SectionTitle(tr("Standard-Zifferblatt"), this));
    auto* caption = new Caption(tr("Gilt für alle Uhren ohne eigenes Design."), this);
    caption->setContentsMargins(0, 0, 0, 8);
    // Full width: a wrapping text measured at another width loses lines.
    contentLayout()->addWidget(caption);

    auto* gridBox = new QWidget(this);
    auto* grid = new QGridLayout(gridBox);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    const DesignTile::Metrics metrics{70, 11, 6, 4, 0};
    std::vector<QString> titles;
    for (DialStyle style : allCases<DialStyle>()) titles.push_back(displayName(style));
    titles.push_back(tr("Eigenes Bild"));
    for (int i = 0; i < int(titles.size()); ++i) {
        auto* tile = new DesignTile(model_, titles[std::size_t(i)], metrics, gridBox);
        tiles_.push_back(tile);
        grid->addWidget(tile, i / 3, i % 3);
        connect(tile, &QAbstractButton::clicked, this, [this, i] {
            if (i == kImageTile)
                useOwnImage();
            else
                model_.setDefaultDialStyle(DialStyle(i));
        });
    }
    for (int c = 0; c < 3; ++c) grid->setColumnStretch(c, 1);
    contentLayout()->addWidget(gridBox);

    warning_ = new WarningText(std::nullopt, this);
    contentLayout()->addWidget(warning_);

    auto* imageRow = new QHBoxLayout;
    imageRow->setContentsMargins(0, 8, 0, 0);
    choose_ = new ThemedButton(tr("Bild auswählen …"), this);
    choose_->setNaturalSize(true);
    connect(choose_, &QAbstractButton::clicked, this, [this] { model_.chooseSharedDialImage(); });
    imageRow->addWidget(choose_);
    imageRow->addStretch(1);
    contentLayout()->addLayout(imageRow);
    // Why the image picked last could not be taken over.
    importProblem_ = new WarningText(std::nullopt, this);
    contentLayout()->addWidget(importProblem_);

    auto* formats =
        new Caption(tr("JPG, PNG oder HEIC. Das Bild wird proportional skaliert und mittig rund zugeschnitten."), this);
    formats->setContentsMargins(0, 6, 0, 0);
    contentLayout()->addWidget(formats);

    connect(&model_, &AppModel::settingsChanged, this, &DialGalleryCard::refresh);
    connect(&model_, &AppModel::dialImageChanged, this, &DialGalleryCard::refresh);
    connect(&model_, &AppModel::importProblemsChanged, this, &DialGalleryCard::refresh);
    refresh();
}

int DialGalleryCard::selectedTile() const {
    const AppSettings& s = model_.settings();
    return s.useCustomDial ? kImageTile : int(s.dialStyle);
}

void DialGalleryCard::useOwnImage() {
    const std::optional<QString>& path = model_.settings().dialImagePath;
    if (path && !path->isEmpty() && QFileInfo(*path).isFile()) {
        model_.editSettings([](AppSettings& next) { next.useCustomDial = true; });
        return;
    }
    model_.chooseSharedDialImage();
}

void DialGalleryCard::refresh() {
    const AppSettings& s = model_.settings();
    const QTimeZone zone = model_.zones().current();
    const int selected = selectedTile();
    for (int i = 0; i < int(tiles_.size()); ++i) {
        DialPreview::Look look;
        if (i == kImageTile) {
            if (model_.dialImage()) {
                look.style = s.dialStyle;
                look.image = *model_.dialImage();
            } else {
                look.placeholder = true;
                look.placeholderSymbol = 22;
            }
        } else {
            look.style = DialStyle(i);
            look.backgroundFace = true;
        }
        tiles_[std::size_t(i)]->preview()->setLook(look);
        tiles_[std::size_t(i)]->preview()->setZone(zone);
        tiles_[std::size_t(i)]->setSelected(i == selected);
    }
    warning_->setWarning(model_.dialImageWarning());
    importProblem_->setWarning(model_.sharedImageImportProblem());
}

}  // namespace corvane
