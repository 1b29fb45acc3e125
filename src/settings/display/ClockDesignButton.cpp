#include "settings/display/ClockDesignButton.h"

#include "appmodel/AppModel.h"
#include "settings/display/ClockDesignPanel.h"
#include "settings/display/DialPreview.h"

namespace corvane {

ClockDesignButton::ClockDesignButton(AppModel& model, const ClockEntry& clock, int index, QWidget* parent)
    : QAbstractButton(parent), model_(model), preview_(new DialPreview(model, kSide, this)) {
    setFixedSize(kSide, kSide);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    // Pressing opens; it never closes (the panel closes itself).
    connect(this, &QAbstractButton::clicked, this, &ClockDesignButton::openPanel);
    setClock(clock, index);
}

ClockDesignButton::~ClockDesignButton() {
    // The panel goes with the button; nothing it reports on the way may
    // reach this half-destroyed button.
    if (panel_) panel_->disconnect(this);
}

bool ClockDesignButton::hasOwnDesign(const ClockEntry& clock) {
    return clock.dialStyle || clock.dialImagePath || clock.faceColor;
}

void ClockDesignButton::setClock(const ClockEntry& clock, int index) {
    clockID_ = clock.id;
    if (index != index_ || toolTip().isEmpty()) {
        index_ = index;
        setToolTip(tr("Design von Uhr %1 wählen").arg(index + 1));
        setAccessibleName(tr("Design von Uhr %1").arg(index + 1));
    }
    DialPreview::Look look;
    look.style = clock.dialStyle.value_or(model_.settings().dialStyle);
    if (std::optional<QImage> image = model_.clockImage(clock)) look.image = *image;
    // A malformed colour text draws no colour, but still counts as a design.
    if (clock.faceColor) look.faceRGB = RGB::fromHex(*clock.faceColor);
    look.badge = hasOwnDesign(clock);
    preview_->setLook(look);
    // A zone is read from the system's files: only when the clock changed it.
    if (clock.timeZoneID != zoneID_ || zoneID_.isNull()) {
        zoneID_ = clock.timeZoneID.isNull() ? QStringLiteral("") : clock.timeZoneID;
        preview_->setZone(previewZone(model_, clock));
    }
    if (panel_) panel_->setClock(clockID_, index_);
}

ClockDesignPanel* ClockDesignButton::panel() {
    if (!panel_) {
        panel_ = new ClockDesignPanel(model_, clockID_, index_, this);
        connect(panel_, &PopupPanel::opened, this, [this] { panelShown(true); });
        connect(panel_, &PopupPanel::closed, this, [this] { panelShown(false); });
    }
    return panel_;
}

bool ClockDesignButton::isPanelOpen() const { return panel_ && panel_->isVisible(); }

void ClockDesignButton::openPanel() {
    if (isPanelOpen()) return;
    panel()->refresh();
    panel_->openBelowAnchor();
}

void ClockDesignButton::panelShown(bool open) {
    if (open) {
        model_.setHighlightedClockID(clockID_);
        return;
    }
    // Another row's panel may have taken the mark meanwhile.
    if (model_.highlightedClockID() == clockID_) model_.setHighlightedClockID(std::nullopt);
}

FocusOutline ClockDesignButton::focusOutline() const {
    // The dial's smoothed rim reaches half a point past its circle.
    FocusOutline o{QRectF(rect()).adjusted(-0.5, -0.5, 0.5, 0.5), 0, true, true};
    if (preview_->look().badge) {
        const double gap = FocusRing::kOutsideGap;
        o.clear.addEllipse(DialPreview::badgeArea(kSide).adjusted(-gap, -gap, gap, gap));
    }
    return o;
}

void ClockDesignButton::paintEvent(QPaintEvent*) {
    // The preview child draws everything, the shared focus ring lies above it.
}

}  // namespace corvane
