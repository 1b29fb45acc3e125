#pragma once

#include "platform/system/SoundPlayer.h"

#include <QHash>
#include <QPointer>

#include <vector>

namespace corvane {

// A player that makes no sound and records what it was told, for tests of
// everything that plays sounds. The test decides when it ends.
class FakeSoundPlayer final : public SoundPlayer {
    Q_OBJECT
public:
    explicit FakeSoundPlayer(double duration, bool acceptsPlay = true, QObject* parent = nullptr)
        : SoundPlayer(parent), duration_(duration), acceptsPlay_(acceptsPlay) {}

    double duration() const override { return duration_; }
    void setNumberOfLoops(int loops) override { loops_ = loops; }
    int numberOfLoops() const override { return loops_; }
    void setVolume(float volume) override {
        volume_ = volume;
        fadeTarget_ = volume;
        fadeSeconds_ = 0.0;
    }
    float volume() const override { return volume_; }
    void fadeTo(float target, double seconds) override {
        fadeTarget_ = target;
        fadeSeconds_ = seconds;
    }
    bool play() override {
        ++playCalls_;
        playing_ = acceptsPlay_;
        return acceptsPlay_;
    }
    void stop() override {
        ++stopCalls_;
        playing_ = false;
    }
    bool isPlaying() const override { return playing_; }

    // What the output would report; delivered to listeners as a player does.
    void endPlaying(bool successfully) {
        playing_ = false;
        Q_EMIT finished(successfully);
    }
    void failDecoding(const QString& description) {
        playing_ = false;
        Q_EMIT decodeError(description);
    }

    float fadeTarget() const { return fadeTarget_; }
    double fadeSeconds() const { return fadeSeconds_; }
    int playCalls() const { return playCalls_; }
    int stopCalls() const { return stopCalls_; }

private:
    double duration_;
    bool acceptsPlay_;
    int loops_ = 0;
    float volume_ = 1.0f;
    float fadeTarget_ = 1.0f;
    double fadeSeconds_ = 0.0;
    int playCalls_ = 0;
    int stopCalls_ = 0;
    bool playing_ = false;
};

// Hands out FakeSoundPlayers. Files answer as registered (unknown paths
// play for one second); in-memory data is the built-in tone.
class FakeSoundPlayerFactory final : public SoundPlayerFactory {
public:
    struct Answer {
        double duration = 1.0;
        QString error;  // non-empty: creation fails with this description
        bool acceptsPlay = true;
    };

    void answerFile(const QString& path, Answer answer) { files_.insert(path, std::move(answer)); }
    Answer tone{1.6, QString(), true};

    SoundPlayerResult fromFile(const QString& path) override {
        filesAsked.push_back(path);
        return make(files_.value(path, Answer{}), false);
    }
    SoundPlayerResult fromData(const QByteArray& bytes, const char* typeHint) override {
        lastDataSize = bytes.size();
        lastTypeHint = typeHint ? QString::fromLatin1(typeHint) : QString();
        return make(tone, true);
    }

    // Every player made so far, null once deleted.
    std::vector<QPointer<FakeSoundPlayer>> players;
    std::vector<bool> playerIsTone;
    std::vector<QString> filesAsked;
    qsizetype lastDataSize = 0;
    QString lastTypeHint;

    FakeSoundPlayer* last() const { return players.empty() ? nullptr : players.back().data(); }

private:
    SoundPlayerResult make(const Answer& answer, bool isTone) {
        SoundPlayerResult result;
        if (!answer.error.isEmpty()) {
            result.error = answer.error;
            return result;
        }
        auto player = std::make_unique<FakeSoundPlayer>(answer.duration, answer.acceptsPlay);
        players.emplace_back(player.get());
        playerIsTone.push_back(isTone);
        result.player = std::move(player);
        return result;
    }

    QHash<QString, Answer> files_;
};

}  // namespace corvane
