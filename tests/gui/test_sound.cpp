#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include <QCheckBox>
#include <QDataStream>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "GuiTestSupport.h"
#include "LapCallouts.h"
#include "SoundChoices.h"
#include "SpeechEngine.h"
#include "Voice.h"
#include "VoicePool.h"
#include "WaveFile.h"
#include "frmSound.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// A RIFF wave file of PCM samples, with a chunk before "fmt " as some editors write.
QByteArray waveFile(int channels, int bits, const std::vector<int>& samples, int format = 1) {
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("WAVELIST\3\0\0\0abc\0fmt \x10\0\0\0", 24);  // odd size, padded
    out << quint16(format) << quint16(channels) << quint32(22050)
        << quint32(22050 * channels * bits / 8) << quint16(channels * bits / 8) << quint16(bits);
    out.writeRawData("data", 4);
    out << quint32(samples.size() * static_cast<size_t>(bits / 8));
    for (int sample : samples) {
        const quint32 le = qToLittleEndian(static_cast<quint32>(bits == 8 ? sample + 128 : sample));
        out.writeRawData(reinterpret_cast<const char*>(&le), bits / 8);
    }
    QByteArray file("RIFF\0\0\0\0", 8);
    qToLittleEndian(static_cast<quint32>(data.size()), file.data() + 4);
    return file + data;
}

std::vector<int> frames(const WaveData& wave) {
    std::vector<int> out;
    for (qsizetype i = 0; i + 1 < wave.frames.size(); i += 2) {
        out.push_back(qFromLittleEndian<qint16>(wave.frames.constData() + i));
    }
    return out;
}

// ---------------------------------------------------------------- levels

TEST(SoundLevels, VolumeAndPanInMillibelsAndTheirGains) {
    const double minus900 = std::pow(10.0, -0.45);
    const double minus4900 = std::pow(10.0, -2.45);
    // volume %, pan %, their millibels, the left and right gains
    const std::tuple<int, int, int, int, double, double> cases[] = {
        {100, 50, 0, 0, 1.0, 1.0},
        {85, 50, -900, 0, minus900, minus900},
        {0, 50, -6000, 0, 0.001, 0.001},
        {100, 0, 0, -10000, 1.0, 1e-5},
        {100, 100, 0, 10000, 1e-5, 1.0},
        {100, 1, 0, -4900, 1.0, minus4900},
        {85, 99, -900, 4900, minus900 * minus4900, minus900},
        {130, -5, 0, -10000, 1.0, 1e-5}};  // bytes in percent: clamped
    for (const auto& [volume, pan, volumeMb, panMb, left, right] : cases) {
        SCOPED_TRACE(testing::Message() << volume << "% " << pan << "%");
        EXPECT_EQ(volumeMillibels(volume), volumeMb);
        EXPECT_EQ(panMillibels(pan), panMb);
        const ChannelGains g = channelGains(volume, pan);
        EXPECT_NEAR(g.left, left, left * 1e-5);
        EXPECT_NEAR(g.right, right, right * 1e-5);
    }
}

TEST(WaveFile, ReadsPcmAsStereo16BitAndScalesEachChannel) {
    const auto mono8 = parseWave(waveFile(1, 8, {-128, 0, 127}));
    ASSERT_TRUE(mono8);
    EXPECT_EQ(mono8->sampleRate, 22050);
    EXPECT_EQ(frames(*mono8), (std::vector<int>{-32768, -32768, 0, 0, 32512, 32512}));

    const auto stereo16 = parseWave(waveFile(2, 16, {1000, -1000, 32767, -32768}));
    ASSERT_TRUE(stereo16);
    EXPECT_EQ(frames(*stereo16), (std::vector<int>{1000, -1000, 32767, -32768}));
    const WaveData scaled{stereo16->sampleRate, withGains(*stereo16, {0.5, 0.25})};
    EXPECT_EQ(frames(scaled), (std::vector<int>{500, -250, 16384, -8192}));

    EXPECT_FALSE(parseWave(waveFile(2, 32, {0, 0}, 3)));  // float samples
    EXPECT_FALSE(parseWave(waveFile(3, 16, {0, 0, 0})));
    // Every cut of a good file reads as nothing or as fewer whole frames, never more.
    const QByteArray good = waveFile(2, 16, {1, 2, 3, 4, 5, 6});
    for (qsizetype n = 0; n < good.size(); ++n) {
        const auto cut = parseWave(good.left(n));
        EXPECT_TRUE(!cut || cut->frames.size() <= 12) << n;
    }
}

// ---------------------------------------------------------------- the pool

class FakeVoice : public Voice {
public:
    bool isPlaying() const override { return playing; }
    void play(const WaveData& wave, ChannelGains g) override {
        playing = true;
        ++plays;
        samples = wave.frames.size() / 4;
        gains = g;
    }
    bool playing = false;
    int plays = 0;
    qsizetype samples = 0;
    ChannelGains gains;
};

// A pool of `voices` over a folder with "cargoingby.wav" of 5 frames and "go.wav" of 7.
struct PoolRig {
    explicit PoolRig(int voices) {
        std::vector<std::unique_ptr<Voice>> owned;
        for (int i = 0; i < voices; ++i) {
            voice.push_back(
                static_cast<FakeVoice*>(owned.emplace_back(std::make_unique<FakeVoice>()).get()));
        }
        pool = std::make_unique<VoicePool>(
            std::move(owned), [this](const QString& f) { return dir.filePath(f); },
            [this](const QString& m) { messages << m; });
        for (const auto& [name, count] : {std::pair{u"cargoingby.wav"_s, 5}, {u"go.wav"_s, 7}}) {
            EXPECT_TRUE(
                writeBytes(dir.filePath(name), waveFile(2, 16, std::vector<int>(count * 2))));
        }
    }
    std::vector<int> plays() const {
        std::vector<int> p;
        for (const FakeVoice* v : voice) {
            p.push_back(v->plays);
        }
        return p;
    }

    QTemporaryDir dir;
    std::vector<FakeVoice*> voice;
    std::unique_ptr<VoicePool> pool;
    QStringList messages;
};

TEST(VoicePool, OverlappingCuesTakeFreeVoicesThenTheOneThatStartedFirst) {
    PoolRig rig(3);
    rig.pool->play(u"cargoingby.wav"_s, 85, 50);
    rig.pool->play(u"cargoingby.wav"_s, 85, 50);  // the first still sounds
    EXPECT_EQ(rig.plays(), (std::vector<int>{1, 1, 0}));
    EXPECT_NEAR(rig.voice[1]->gains.left, std::pow(10.0, -0.45), 1e-9);

    rig.voice[0]->playing = false;  // the first has finished
    rig.pool->play(u"go.wav"_s, 100, 0);
    EXPECT_EQ(rig.plays(), (std::vector<int>{1, 1, 1}));  // free voices from the last one on
    EXPECT_EQ(rig.voice[2]->samples, 7);
    EXPECT_NEAR(rig.voice[2]->gains.right, 1e-5, 1e-12);
    rig.pool->play(u"go.wav"_s, 100, 50);
    EXPECT_EQ(rig.plays(), (std::vector<int>{2, 1, 1}));

    // All busy: the call does not wait; the voice started longest ago is taken over.
    for (const std::vector<int>& after : {std::vector{2, 2, 1}, {2, 2, 2}, {3, 2, 2}}) {
        rig.pool->play(u"cargoingby.wav"_s, 85, 50);
        EXPECT_EQ(rig.plays(), after);
    }
    EXPECT_TRUE(rig.messages.isEmpty());
}

TEST(VoicePool, AMissingOrBrokenFileIsReportedOnceWithItsFullPath) {
    PoolRig rig(4);
    ASSERT_TRUE(QFile::remove(rig.dir.filePath(u"go.wav"_s)));
    ASSERT_TRUE(writeBytes(rig.dir.filePath(u"whiteflag2.wav"_s), "RIFF but not a wave"));
    for (int lap = 0; lap < 5; ++lap) {
        rig.pool->play(u"go.wav"_s, 100, 50);
        rig.pool->play(u"whiteflag2.wav"_s, 100, 50);
    }
    EXPECT_EQ(rig.messages,
              (QStringList{u"Error can't find file: "_s + rig.dir.filePath(u"go.wav"_s),
                           u"Error can't find file: "_s + rig.dir.filePath(u"whiteflag2.wav"_s)}));
    EXPECT_EQ(rig.plays(), (std::vector<int>{0, 0, 0, 0}));  // no voice plays a stale sound
}

// ---------------------------------------------------------------- callouts

// Holds each text until the test says it has been spoken.
class HeldSpeech : public SpeechEngine {
public:
    void say(const QString& text, std::function<void()> done) override {
        said << text;
        pending = std::move(done);
    }
    void finish() { std::exchange(pending, {})(); }
    QStringList said;
    std::function<void()> pending;
};

TEST(LapCallouts, TextReadsTheNameAndTheTimeAsTheScreenShowsIt) {
    // flag, name, lap time, a best lap, what is said
    const std::tuple<int, QString, int32_t, bool, QString> cases[] = {
        {1, u" Ann"_s, 12340, false, u"Ann, twelve point three four"_s},
        {1, u"Ann"_s, 12340, true, u"Ann, best lap, twelve point three four"_s},
        {3, QString(), 9050, false, u"Flag 3, nine point zero five"_s},
        {4, u"Select Name"_s, 20999, false, u"Flag 4, twenty one point zero zero"_s},
        {2, u"Bo"_s, 59996, false, u"Bo, sixty point zero zero"_s},
        {2, u"Bo"_s, 75499, false, u"Bo, seventy five"_s},
        {2, u"Bo"_s, 120000, true, u"Bo, best lap, one hundred twenty"_s},
        {5, u"Eve"_s, 1000400, false, u"Eve, one thousand"_s},
        {6, u"Fay"_s, 500, false, u"Fay, zero point five zero"_s}};
    for (const auto& [flag, name, ms, best, text] : cases) {
        EXPECT_EQ(LapCallouts::text(flag, name, ms, best), text) << ms;
    }
}

TEST(LapCallouts, ChoicesDecideWhichLapsAreAnnounced) {
    const QString plain = u"Ann, ten point zero zero"_s;
    const QString best = u"Ann, best lap, ten point zero zero"_s;
    // every lap, best lap, the lap, a new best: what is said
    const std::tuple<bool, bool, int, bool, QString> cases[] = {
        {false, false, 2, true, {}}, {true, false, 2, false, plain}, {true, false, 2, true, plain},
        {false, true, 2, false, {}}, {false, true, 2, true, best},   {true, true, 2, true, best},
        {true, true, 0, false, {}}};  // lap 0: the run to the line before lap 1
    for (const auto& [everyLap, bestLap, lap, newBest, said] : cases) {
        HeldSpeech speech;
        LapCallouts callouts(&speech);
        callouts.setChoices({everyLap, bestLap});
        callouts.lapCounted(1, u"Ann"_s, lap, 10000, newBest);
        EXPECT_EQ(speech.said.join(u'|'), said) << everyLap << bestLap << lap << newBest;
    }
}

TEST(LapCallouts, OneAtATimeAndTheOldestWaitingIsDropped) {
    HeldSpeech speech;
    LapCallouts callouts(&speech);
    callouts.setChoices({true, false});
    for (int lap = 1; lap <= 6; ++lap) {
        callouts.lapCounted(1, u"Ann"_s, lap, lap * 1000, false);
    }
    // Lap 1 is being said; laps 2 and 3 are dropped for 4, 5 and 6.
    EXPECT_EQ(speech.said, QStringList{u"Ann, one point zero zero"_s});
    for (int i = 0; i < 3; ++i) {
        speech.finish();
    }
    EXPECT_EQ(speech.said.mid(1),
              (QStringList{u"Ann, four point zero zero"_s, u"Ann, five point zero zero"_s,
                           u"Ann, six point zero zero"_s}));
    speech.finish();  // all said: the next lap is said at once
    callouts.lapCounted(1, u"Ann"_s, 7, 7000, false);
    EXPECT_EQ(speech.said.last(), u"Ann, seven point zero zero"_s);
    EXPECT_TRUE(callouts.waiting().empty());
}

// The Sound dialog opens on the choices of the last run; in a race they are heard
// and each event's cue reaches the player at the race clock (which cue a finish
// plays is the engine's; the start lights' cues are the start lights window's).
TEST(RaceCues, ChoicesKeptFromTheLastRunAndEachEventPlaysItsCue) {
    DataFolder data;
    data.names(u"Ann,Empty,Empty,Empty,Empty,Empty"_s);
    data.format(RaceOption::LapRace, 3);
    std::vector<SoundChoices> shown;
    HeldSpeech speech;
    const auto services = [&](LapdeckServices& s) {
        s.speech = &speech;
        s.showModal = [&shown](QDialog& window) {
            auto& dialog = dynamic_cast<frmSound&>(window);
            shown.push_back(dialog.choices());
            dialog.chkSoundLap->setChecked(true);
            return static_cast<int>(QDialog::Accepted);
        };
    };
    WindowRig(data, services).window->mnuSound->trigger();
    WindowRig rig(data, services);
    rig.window->mnuSound->trigger();
    EXPECT_EQ(shown, (std::vector<SoundChoices>{{false, false}, {true, false}}));

    rig.sound.clock = &rig.state.RaceClock;
    rig.window->cmdStart_Click();
    for (const int32_t clock : {1000, 6000, 11000}) {
        rig.cross(clock, "1");
    }
    rig.advanceTo(70000);
    EXPECT_EQ(rig.sound.played,
              (QStringList{u"1000 cargoingby.wav 85 50"_s, u"6000 cargoingby.wav 85 50"_s,
                           u"6000 whiteflag2.wav 100 50"_s, u"11000 cargoingby.wav 85 50"_s,
                           u"11000 checkeredflag.wav 100 50"_s, u"11000 Raceover.wav 100 50"_s}));
    EXPECT_EQ(rig.state.RaceOver, 1);
    speech.finish();  // lap 1 said; lap 2 next, lap 3 waiting
    EXPECT_EQ(speech.said,
              (QStringList{u"Ann, one point zero zero"_s, u"Ann, five point zero zero"_s}));
}

}  // namespace
}  // namespace lapdeck::test
