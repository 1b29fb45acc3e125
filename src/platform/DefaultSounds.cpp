#include "platform/DefaultSounds.h"

namespace corvane {

const std::array<SoundCounterpart, 14>& soundCounterparts() {
    // The first five are the defaults of the alarms and countdowns; settings
    // files rely on these pairs, so they never change.
    static constexpr std::array<SoundCounterpart, 14> table{{
        {"Glass.aiff", "alarm-clock-elapsed.oga"},       // the first alarm, the short countdown
        {"Ping.aiff", "bell.oga"},                       // a bright single chime
        {"Purr.aiff", "message.oga"},                    // a soft one
        {"Submarine.aiff", "phone-incoming-call.oga"},  // a ringing one
        {"Hero.aiff", "complete.oga"},                   // a countdown that has run out
        {"Basso.aiff", "dialog-error.oga"},              // a low, dull knock
        {"Blow.aiff", "service-logout.oga"},             // a soft, falling breath
        {"Bottle.aiff", "window-question.oga"},          // a hollow, rising tone
        {"Frog.aiff", "dialog-warning.oga"},             // a short croak that calls for a look
        {"Funk.aiff", "window-attention.oga"},           // a punchy call for attention
        {"Morse.aiff", "phone-outgoing-busy.oga"},       // short beeps in a row
        {"Pop.aiff", "message-new-instant.oga"},         // a quick pop
        {"Sosumi.aiff", "dialog-information.oga"},       // a friendly chime
        {"Tink.aiff", "audio-volume-change.oga"},        // a tiny tick
    }};
    return table;
}

std::optional<QString> soundCounterpart(const QString& name) {
    for (const SoundCounterpart& c : soundCounterparts())
        if (name == QLatin1String(c.original)) return QString::fromLatin1(c.here);
    return std::nullopt;
}

QString defaultSoundHere(const char* original) {
    const std::optional<QString> here = soundCounterpart(QString::fromLatin1(original));
    return here ? *here : QString::fromLatin1(original);
}

}  // namespace corvane
