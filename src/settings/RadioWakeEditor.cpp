#include "settings/RadioWakeEditor.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "appmodel/AppModel.h"
#include "settings/StationPicker.h"
#include "settings/display/PopupPanel.h"
#include "settings/kit/Bindings.h"
#include "settings/kit/ReflowRow.h"
#include "shell/components/Icons.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"
#include "shell/components/ThemedButton.h"

namespace corvane {

namespace {

// A row that starts with a field label: the labels of a card line up in one
// column of at least this width.
QHBoxLayout* labelledRow(QWidget* row, const QString& label) {
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* field = new FieldLabel(label, row);
    field->setMinimumWidth(RadioWakeEditor::kLabelWidth);
    field->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout->addWidget(field);
    return layout;
}

// Texts that show a stored value are cut to this many characters before they
// are measured: a station name or UUID from a hostile link may be huge.
constexpr qsizetype kShownTextLimit = 256;


}  // namespace

std::optional<QString> RadioLinks::systemClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return std::nullopt;
    const QString text = clipboard->text();
    if (text.isNull()) return std::nullopt;
    return text;
}

RadioLinks& defaultRadioLinks() {
    static RadioLinks links;
    return links;
}

// --- Small views ------------------------------------------------------------------

ElidedText::ElidedText(QWidget* parent) : QWidget(parent) {
    setFont(uiFont(13));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ElidedText::setText(const QString& text, bool whole) {
    const QString shown = text.left(kShownTextLimit);
    if (shown == text_ && whole == whole_) return;
    text_ = shown;
    whole_ = whole;
    setToolTip(text_);
    updateGeometry();
    update();
}

void ElidedText::setPrimary(bool primary) {
    if (primary == primary_) return;
    primary_ = primary;
    update();
}

QSize ElidedText::sizeHint() const {
    const QFontMetrics fm(font());
    return {std::min(fm.horizontalAdvance(text_), 240), fm.height()};
}

QSize ElidedText::minimumSizeHint() const {
    const QFontMetrics fm(font());
    return {whole_ ? fm.horizontalAdvance(text_) : 20, fm.height()};
}

void ElidedText::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setPen((primary_ ? theme.foreground : theme.secondaryForeground).toQColor());
    const QFontMetrics fm(font());
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(text_, Qt::ElideRight, width()));
}

SymbolView::SymbolView(const QString& symbol, int side, QWidget* parent) : QWidget(parent), symbol_(symbol) {
    setFixedSize(side, side);
}

void SymbolView::setSymbol(const QString& symbol) {
    if (symbol == symbol_) return;
    symbol_ = symbol;
    update();
}

void SymbolView::setColor(std::optional<QColor> color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    icons::draw(p, symbol_, QRectF(rect()), color_.value_or(themeOf(this).secondaryForeground.toQColor()));
}

// --- RadioWakeEditor ------------------------------------------------------------------

const std::vector<qint64>& RadioWakeEditor::fadeOptions() {
    static const std::vector<qint64> options{0, 30, 60, 100, 180, 300, 600};
    return options;
}

QString RadioWakeEditor::fadeLabel(qint64 seconds) {
    if (seconds == 0) return tr("Aus – sofort laut");
    if (seconds < 120) return tr("In %1\u00A0Sekunden lauter").arg(seconds);
    return tr("In %1\u00A0Minuten lauter").arg(seconds / 60);
}

std::vector<qint64> RadioWakeEditor::fadeEntries(qint64 stored) {
    std::vector<qint64> entries = fadeOptions();
    if (std::find(entries.begin(), entries.end(), stored) == entries.end()) entries.insert(entries.begin(), stored);
    return entries;
}

RadioWakeEditor::Notice RadioWakeEditor::noticeFor(const AlarmSettings& alarm, bool installed, bool testFailed) {
    if (!installed) return Notice::notInstalled;
    // An empty identifier counts as chosen here; the test button still treats
    // it as no station.
    if (alarm.radioMode == AlarmSettings::RadioMode::station && !alarm.radioStationUUID) return Notice::chooseStation;
    if (testFailed) return Notice::testFailed;
    return Notice::silence;
}

qint64 RadioWakeEditor::volumeFromSlider(double value) {
    if (!std::isfinite(value)) return 100;
    return std::clamp<qint64>(std::llround(std::clamp(value, -1e6, 1e6)), 1, 100);
}

RadioWakeEditor::RadioWakeEditor(AppModel& model, int index, RadioLinks links, QWidget* parent)
    : QWidget(parent), model_(model), index_(index), links_(std::move(links)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(6);

    // 1. Alarm tone or radio.
    auto* sourceRow = new QWidget(this);
    QHBoxLayout* source = labelledRow(sourceRow, tr("Wecken mit"));
    auto* segments = new QWidget(sourceRow);
    segments->setAccessibleName(tr("Wecken mit"));
    auto* segmentRow = new QHBoxLayout(segments);
    segmentRow->setContentsMargins(0, 0, 0, 0);
    segmentRow->setSpacing(2);
    tone_ = new ThemedButton(tr("Alarmton"), segments);
    sonvela_ = new ThemedButton(QStringLiteral("Sonvela"), segments);
    auto* group = new QButtonGroup(this);
    for (ThemedButton* b : {tone_, sonvela_}) {
        b->setCheckable(true);
        b->setNaturalSize(true);
        group->addButton(b);
        segmentRow->addWidget(b);
    }
    connect(tone_, &QAbstractButton::clicked, this, [this] { editAlarm([](AlarmSettings& a) { a.wakeWithRadio = false; }); });
    connect(sonvela_, &QAbstractButton::clicked, this, [this] { editAlarm([](AlarmSettings& a) { a.wakeWithRadio = true; }); });
    source->addWidget(segments);
    source->addStretch(1);
    stack->addWidget(sourceRow);

    // 2. Fade-in, also used by the alarm tone.
    auto* fadeRow = new QWidget(this);
    QHBoxLayout* fade = labelledRow(fadeRow, tr("Sanft"));
    fade_ = new QComboBox(fadeRow);
    fitToEntries(fade_, false);
    fade_->setAccessibleName(tr("Sanft aufwachen"));
    fade_->setToolTip(tr("Sanft aufwachen: Der Ton beginnt leise und wird in dieser Zeit bis zur eingestellten "
                         "Lautstärke lauter."));
    connect(fade_, &QComboBox::activated, this, [this](int i) {
        if (i < 0 || std::size_t(i) >= shownFades_.size()) return;
        const qint64 seconds = shownFades_[std::size_t(i)];
        editAlarm([seconds](AlarmSettings& a) { a.setFadeSeconds(seconds); });
    });
    fade->addWidget(fade_);
    fade->addStretch(1);
    stack->addWidget(fadeRow);

    // 3. The radio rows.
    radioRows_ = new QWidget(this);
    auto* radio = new QVBoxLayout(radioRows_);
    radio->setContentsMargins(0, 2, 0, 0);
    radio->setSpacing(8);  // the stack's 6 plus 2 above each row
    stack->addWidget(radioRows_);

    auto* modeRow = new QWidget(radioRows_);
    QHBoxLayout* mode = labelledRow(modeRow, tr("Sender"));
    mode_ = new QComboBox(modeRow);
    fitToEntries(mode_, false);
    mode_->setAccessibleName(tr("Sender"));
    mode_->addItem(tr("Zufälliger Favorit"), int(AlarmSettings::RadioMode::randomFavorite));
    mode_->addItem(tr("Bestimmter Sender"), int(AlarmSettings::RadioMode::station));
    mode_->addItem(tr("Zuletzt gehörter Sender"), int(AlarmSettings::RadioMode::lastPlayed));
    connect(mode_, &QComboBox::activated, this, [this](int i) {
        const auto chosen = AlarmSettings::RadioMode(mode_->itemData(i).toInt());
        editAlarm([chosen](AlarmSettings& a) { a.radioMode = chosen; });
    });
    mode->addWidget(mode_);
    mode->addStretch(1);
    radio->addWidget(modeRow);

    randomCaption_ = new Caption(tr("Jeden Tag ein anderer Favorit aus Sonvela."), radioRows_);
    randomCaption_->setContentsMargins(kLabelWidth, 0, 0, 0);
    radio->addWidget(randomCaption_);

    stationRow_ = new QWidget(radioRows_);
    auto* stationText = new QWidget(stationRow_);
    auto* station = new QHBoxLayout(stationText);
    station->setContentsMargins(0, 0, 0, 0);
    station->setSpacing(8);
    station->addWidget(new SymbolView(QStringLiteral("radio"), 16, stationText));
    station_ = new ElidedText(stationText);
    station->addWidget(station_, 1);
    search_ = new ThemedButton(tr("Suchen …"), stationRow_);
    search_->setNaturalSize(true);
    connect(search_, &QAbstractButton::clicked, this, &RadioWakeEditor::openPicker);
    // In a narrow card "Suchen …" goes under the station rather than cut it.
    auto* stationLayout = new ReflowLayout(stationText, search_, 12, stationRow_);
    stationLayout->setContentsMargins(kLabelWidth, 0, 0, 0);
    radio->addWidget(stationRow_);

    auto* volumeRow = new QWidget(radioRows_);
    QHBoxLayout* volume = labelledRow(volumeRow, tr("Lautstärke"));
    volume_ = new QSlider(Qt::Horizontal, volumeRow);
    volume_->setRange(1, 100);
    volume_->setSingleStep(1);
    volume_->setPageStep(10);
    volume_->setAccessibleName(tr("Lautstärke in Sonvela"));
    connect(volume_, &QSlider::valueChanged, this, [this](int value) {
        const qint64 stored = volumeFromSlider(value);
        editAlarm([stored](AlarmSettings& a) { a.radioVolume = stored; });
    });
    volume->addWidget(volume_, 1);
    volumeLabel_ = new ThemedLabel({}, 13, QFont::Normal, ThemedLabel::Tone::foreground, volumeRow);
    volumeLabel_->setFixedWidth(44);
    volumeLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    volume->addWidget(volumeLabel_);
    radio->addWidget(volumeRow);

    auto* linkRow = new QWidget(radioRows_);
    auto* link = new QHBoxLayout(linkRow);
    link->setContentsMargins(0, 2, 0, 0);
    link->setSpacing(8);
    paste_ = new ThemedButton(tr("Weck-Link einfügen"), linkRow);
    paste_->setToolTip(tr("Einen Weck-Link aus Sonvela (Favoriten ⋯ → Weck-Links) aus der Zwischenablage übernehmen."));
    connect(paste_, &QAbstractButton::clicked, this, &RadioWakeEditor::pasteWakeLink);
    test_ = new ThemedButton(tr("▶  Testen"), linkRow);
    test_->setToolTip(tr("Jetzt in Sonvela abspielen – mit Einblenden und Lautstärke"));
    connect(test_, &QAbstractButton::clicked, this, &RadioWakeEditor::testPlay);
    link->addWidget(paste_);
    link->addWidget(test_);
    radio->addWidget(linkRow);

    linkCaption_ = new Caption({}, radioRows_);
    radio->addWidget(linkCaption_);

    missingRow_ = new QWidget(radioRows_);
    auto* missing = new QHBoxLayout(missingRow_);
    missing->setContentsMargins(0, 0, 0, 0);
    missing->setSpacing(4);
    missing->addWidget(new WarningText(tr("Sonvela ist auf diesem Computer nicht installiert – es klingelt der Alarmton."),
                                       missingRow_),
                       1);
    downloadLink_ = new QLabel(missingRow_);
    downloadLink_->setFont(uiFont(12));
    downloadLink_->setContentsMargins(0, 4, 0, 0);
    downloadLink_->setTextFormat(Qt::RichText);
    downloadLink_->setOpenExternalLinks(true);
    downloadLink_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    missing->addWidget(downloadLink_, 0, Qt::AlignTop);
    radio->addWidget(missingRow_);

    warning_ = new WarningText(std::nullopt, radioRows_);
    radio->addWidget(warning_);
    silenceCaption_ = new Caption(
        tr("Bleibt Sonvela %1\u00A0Sekunden lang stumm (z. B. ohne Internet), klingelt der Alarmton unten.")
            .arg(kSilenceSeconds),
        radioRows_);
    radio->addWidget(silenceCaption_);

    connect(&model_, &AppModel::settingsChanged, this, &RadioWakeEditor::refresh);
    refresh();
}

RadioWakeEditor::~RadioWakeEditor() {
    if (popup_) delete popup_.data();
}

const AlarmSettings& RadioWakeEditor::alarm() const {
    static const AlarmSettings none;
    const auto& alarms = model_.settings().alarms;
    if (index_ < 0 || std::size_t(index_) >= alarms.size()) return none;
    return alarms[std::size_t(index_)];
}

template <typename Edit>
void RadioWakeEditor::editAlarm(Edit&& edit) {
    if (index_ < 0 || std::size_t(index_) >= model_.settings().alarms.size()) return;
    model_.editSettings([&](AppSettings& s) { edit(s.alarms[std::size_t(index_)]); });
}

QString RadioWakeEditor::volumeText() const { return tr("%1\u00A0%").arg(alarm().radioVolume); }

StationPicker* RadioWakeEditor::picker() const {
    return popup_ ? popup_->findChild<StationPicker*>() : nullptr;
}

bool RadioWakeEditor::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType() || event->type() == QEvent::Show) {
        const QString accent = themeOf(this).accent.toQColor().name();
        downloadLink_->setText(QStringLiteral("<a href=\"%1\" style=\"color:%2; text-decoration:none\">%3</a>")
                                   .arg(Sonvela::webPageURL().toString(QUrl::FullyEncoded), accent,
                                        tr("Laden").toHtmlEscaped()));
    }
    return QWidget::event(event);
}

void RadioWakeEditor::refresh() {
    const AlarmSettings& a = alarm();

    tone_->setChecked(!a.wakeWithRadio);
    sonvela_->setChecked(a.wakeWithRadio);
    tone_->setAccent(!a.wakeWithRadio);
    sonvela_->setAccent(a.wakeWithRadio);

    const std::vector<qint64> fades = fadeEntries(a.fadeSeconds);
    if (fades != shownFades_) {
        const QSignalBlocker block(fade_);
        fade_->clear();
        for (qint64 seconds : fades) fade_->addItem(fadeLabel(seconds));
        shownFades_ = fades;
    }
    const auto shownFade = std::find(shownFades_.begin(), shownFades_.end(), a.fadeSeconds);
    {
        const QSignalBlocker block(fade_);
        fade_->setCurrentIndex(int(shownFade - shownFades_.begin()));
    }

    radioRows_->setVisible(a.wakeWithRadio);
    {
        const QSignalBlocker block(mode_);
        mode_->setCurrentIndex(mode_->findData(int(a.radioMode)));
    }
    randomCaption_->setVisible(a.radioMode == AlarmSettings::RadioMode::randomFavorite);
    stationRow_->setVisible(a.radioMode == AlarmSettings::RadioMode::station);
    if (a.radioStationName) {
        station_->setText(*a.radioStationName);
    } else if (a.radioStationUUID) {
        station_->setText(*a.radioStationUUID);
    } else {
        station_->setText(tr("Kein Sender gewählt"), true);
    }
    station_->setPrimary(a.radioStationUUID.has_value());

    if (volume_->value() != a.radioVolume) {
        const QSignalBlocker block(volume_);
        volume_->setValue(int(a.radioVolume));
    }
    volumeLabel_->setText(volumeText());

    test_->setEnabled(a.usesRadio());
    linkCaption_->setText(linkMessage_.value_or(QString()));
    linkCaption_->setVisible(linkMessage_.has_value());

    // The installed answer is cached by the radio link, so asking on every
    // refresh costs no desktop lookup.
    notice_ = noticeFor(a, Sonvela::isInstalled(), testFailed_);
    missingRow_->setVisible(notice_ == Notice::notInstalled);
    switch (notice_) {
        case Notice::chooseStation: warning_->setWarning(tr("Bitte einen Sender wählen – sonst klingelt der Alarmton.")); break;
        case Notice::testFailed: warning_->setWarning(tr("Sonvela konnte nicht gestartet werden.")); break;
        default: warning_->setWarning(std::nullopt); break;
    }
    silenceCaption_->setVisible(notice_ == Notice::silence);
}

void RadioWakeEditor::openPicker() {
    closePicker();
    auto* popup = new PopupPanel(search_);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* picker = new StationPicker([this](const Sonvela::Station& s) { pickStation(s); }, links_.directory, popup);
    layout->addWidget(picker);
    popup->followContentSize();
    popup_ = popup;
    popup->openBelowAnchor();
    picker->searchField()->setFocus();
}

void RadioWakeEditor::closePicker() {
    if (popup_) popup_->close();
}

void RadioWakeEditor::pickStation(const Sonvela::Station& station) {
    const QString uuid = station.stationuuid;
    const QString name = station.name.trimmed();
    editAlarm([&uuid](AlarmSettings& a) { a.radioStationUUID = uuid; });
    editAlarm([&name](AlarmSettings& a) { a.radioStationName = name; });
    closePicker();
}

void RadioWakeEditor::pasteWakeLink() {
    std::optional<QString> text = links_.clipboardText ? links_.clipboardText() : std::nullopt;
    std::optional<Sonvela::WakeLink> link;
    if (text && text->size() <= kMaxLinkLength) link = Sonvela::WakeLink::parse(*text);
    if (!link) {
        linkMessage_ = tr("In der Zwischenablage ist kein Weck-Link von Sonvela.");
        refresh();
        return;
    }

    editAlarm([](AlarmSettings& a) { a.wakeWithRadio = true; });
    editAlarm([&](AlarmSettings& a) { a.radioMode = link->mode; });
    if (link->fade) {
        editAlarm([&](AlarmSettings& a) { a.setFadeSeconds(*link->fade); });
    }
    if (link->volume) {
        const qint64 volume = std::clamp<qint64>(*link->volume, 1, 100);
        editAlarm([volume](AlarmSettings& a) { a.radioVolume = volume; });
    }
    linkMessage_ = tr("Weck-Link übernommen.");
    if (link->stationUUID) {
        const QString uuid = *link->stationUUID;
        editAlarm([&uuid](AlarmSettings& a) { a.radioStationUUID = uuid; });
        editAlarm([](AlarmSettings& a) { a.radioStationName.reset(); });
        refreshStation(uuid);
    }
    refresh();
}

void RadioWakeEditor::refreshStation(const QString& uuid) {
    // Owned by the model, not the editor: a lookup that ends after the page
    // closed still names the station of its alarm.
    AppModel* model = &model_;
    const int index = index_;
    Sonvela::StationRequest* request = Sonvela::station(uuid, model, links_.directory);
    connect(request, &Sonvela::StationRequest::finished, model, [model, index, uuid, request] {
        request->deleteLater();
        if (request->error()) return;
        const std::optional<Sonvela::Station> found = request->station();
        if (!found) return;
        const auto& alarms = model->settings().alarms;
        if (index < 0 || std::size_t(index) >= alarms.size()) return;
        // The user may have picked or pasted another station meanwhile.
        if (alarms[std::size_t(index)].radioStationUUID != uuid) return;
        const QString name = found->name.trimmed();
        model->editSettings([&](AppSettings& s) { s.alarms[std::size_t(index)].radioStationName = name; });
    });
}

void RadioWakeEditor::testPlay() {
    const AlarmSettings current = alarm();
    testFailed_ = !Sonvela::openWake(current);
    refresh();
}

}  // namespace corvane
