#include "platform/DefaultSounds.h"

namespace corvane {

const std::array<SoundCounterpart, 5>& defaultSoundCounterparts() {
    static constexpr std::array<SoundCounterpart, 5> table{{
        {"Glass.aiff", "alarm-clock-elapsed.oga"},       // the first alarm, the short countdown
        {"Ping.aiff", "bell.oga"},                       // a bright single chime
        {"Purr.aiff", "message.oga"},                    // a soft one
        {"Submarine.aiff", "phone-incoming-call.oga"},  // a ringing one
        {"Hero.aiff", "complete.oga"},                   // a countdown that has run out
    }};
    return table;
}

std::optional<QString> soundCounterpart(const QString& name) {
    for (const SoundCounterpart& c : defaultSoundCounterparts())
        if (name == QLatin1String(c.original)) return QString::fromLatin1(c.here);
    return std::nullopt;
}

QString defaultSoundHere(const char* original) {
    const std::optional<QString> here = soundCounterpart(QString::fromLatin1(original));
    return here ? *here : QString::fromLatin1(original);
}

}  // namespace corvane
