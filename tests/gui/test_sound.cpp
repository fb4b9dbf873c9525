#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include <QAudioDevice>
#include <QCheckBox>
#include <QDataStream>
#include <QDialog>
#include <QFile>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QtEndian>

#include "AssetFolders.h"
#include "EspeakSpeech.h"
#include "GuiTestSupport.h"
#include "LapCallouts.h"
#include "SoundChoices.h"
#include "SoundMixer.h"
#include "SoundOutput.h"
#include "SpeechEngine.h"
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

TEST(WaveFile, ReadsPcmAsStereo16BitAtAnyRate) {
    const auto mono8 = parseWave(waveFile(1, 8, {-128, 0, 127}));
    ASSERT_TRUE(mono8);
    EXPECT_EQ(mono8->sampleRate, 22050);
    EXPECT_EQ(frames(*mono8), (std::vector<int>{-32768, -32768, 0, 0, 32512, 32512}));

    const auto stereo16 = parseWave(waveFile(2, 16, {1000, -1000, 32767, -32768}));
    ASSERT_TRUE(stereo16);
    EXPECT_EQ(frames(*stereo16), (std::vector<int>{1000, -1000, 32767, -32768}));
    // The mixer's rate: twice as many frames, the new ones between their neighbours.
    const WaveData doubled = resampled(*stereo16, 44100);
    EXPECT_EQ(doubled.sampleRate, 44100);
    EXPECT_EQ(frames(doubled),
              (std::vector<int>{1000, -1000, 16884, -16884, 32767, -32768, 32767, -32768}));
    EXPECT_EQ(frames(resampled(doubled, 22050)), frames(*stereo16));
    EXPECT_EQ(durationMs(doubled), 0);  // 4 frames
    EXPECT_EQ(durationMs({22050, QByteArray(22050 * 6, '\0')}), 1500);

    EXPECT_FALSE(parseWave(waveFile(2, 32, {0, 0}, 3)));  // float samples
    EXPECT_FALSE(parseWave(waveFile(3, 16, {0, 0, 0})));
    // Every cut of a good file reads as nothing or as fewer whole frames, never more.
    const QByteArray good = waveFile(2, 16, {1, 2, 3, 4, 5, 6});
    for (qsizetype n = 0; n < good.size(); ++n) {
        const auto cut = parseWave(good.left(n));
        EXPECT_TRUE(!cut || cut->frames.size() <= 12) << n;
    }
}

// ---------------------------------------------------------------- the mixer

SoundMixer::Wave wave(const std::vector<int>& samples) {
    return std::make_shared<const WaveData>(
        WaveData{44100, parseWave(waveFile(2, 16, samples))->frames});
}

std::vector<int> mixed(SoundMixer& mixer, int frameCount) {
    std::vector<int16_t> out(static_cast<size_t>(frameCount) * 2, 12345);
    mixer.mix(out.data(), frameCount);
    return {out.begin(), out.end()};
}

TEST(SoundMixer, EachChannelAtItsVolumeAndPan) {
    const SoundMixer::Wave cue = wave({10000, -10000, 20000, 20000});
    // volume %, pan %, the frames heard
    const std::tuple<int, int, std::vector<int>> cases[] = {
        {100, 50, {10000, -10000, 20000, 20000, 0, 0}},
        {85, 50, {3548, -3548, 7096, 7096, 0, 0}},  // -9 dB
        {50, 50, {316, -316, 632, 632, 0, 0}},      // -30 dB
        {100, 0, {10000, 0, 20000, 0, 0, 0}},       // the right channel at -100 dB
        {100, 99, {35, -10000, 71, 20000, 0, 0}},   // the left at -49 dB
        {85, 1, {3548, -13, 7096, 25, 0, 0}}};
    for (const auto& [volume, pan, heard] : cases) {
        SoundMixer mixer(4, 44100);
        ASSERT_TRUE(mixer.start(cue, channelGains(volume, pan)));
        EXPECT_EQ(mixed(mixer, 3), heard) << volume << "% " << pan << "%";
    }
}

TEST(SoundMixer, OverlappingVoicesAddUpWithinSixteenBits) {
    SoundMixer mixer(4, 44100);
    const SoundMixer::Wave cue = wave({30000, -30000, 1000, 2000, 3000, 4000});
    mixer.start(cue, {});
    EXPECT_EQ(mixed(mixer, 1), (std::vector<int>{30000, -30000}));
    // The same cue twice more while the first still sounds, one at half level: all
    // three are heard, the first a frame ahead, the loudest frame held at full scale.
    mixer.start(cue, {});
    mixer.start(cue, {0.5, 0.5});
    EXPECT_EQ(mixed(mixer, 2),
              (std::vector<int>{32767, -32768, 3000 + 1000 + 500, 4000 + 2000 + 1000}));
    EXPECT_EQ(mixed(mixer, 3), (std::vector<int>{3000 + 1500, 4000 + 2000, 0, 0, 0, 0}));
    EXPECT_EQ(mixer.mixed(), 6);
}

TEST(SoundMixer, AllVoicesBusyTheFirstStartedIsTakenOverAndSpeechStopsByItsTag) {
    SoundMixer mixer(3, 44100);
    const auto level = [](int sample) { return wave({sample, sample, sample, sample}); };
    mixer.start(level(1), {});
    mixer.start(level(10), {}, 7);
    mixer.start(level(100), {});
    mixer.start(level(1000), {});  // takes over the 1
    EXPECT_EQ(mixed(mixer, 1), (std::vector<int>{1110, 1110}));
    EXPECT_TRUE(mixer.stop(7));
    EXPECT_EQ(mixed(mixer, 2), (std::vector<int>{1100, 1100, 0, 0}));
}

TEST(SoundMixer, CuesAreReadAtStartAndAMissingOneIsReportedWithItsPath) {
    QTemporaryDir assets;
    QTemporaryDir data;
    ASSERT_TRUE(QDir(assets.path()).mkpath(u"sounds"_s));
    const AssetFolders folders{assets.path(), false};
    const auto own = [&](const QString& file, int frameCount) {
        EXPECT_TRUE(writeBytes(QDir(folders.sounds()).filePath(file),
                               waveFile(2, 16, std::vector<int>(frameCount * 2))));
    };
    own(u"go.wav"_s, 5);
    own(u"cargoingby.wav"_s, 5);
    // A club's own pass-by sound in the data folder is played instead of Lapdeck's.
    ASSERT_TRUE(writeBytes(QDir(data.path()).filePath(u"cargoingby.wav"_s),
                           waveFile(1, 8, std::vector<int>(9))));
    ASSERT_TRUE(writeBytes(QDir(folders.sounds()).filePath(u"whiteflag2.wav"_s), "RIFF"));
    QStringList messages;
    const auto cues = readCues(
        {u"go.wav"_s, u"cargoingby.wav"_s, u"whiteflag2.wav"_s, u"Raceover.wav"_s},
        [&](const QString& file) { return folders.soundFile(data.path(), file); },
        [&](const QString& message) { messages << message; });
    ASSERT_EQ(cues.size(), 2U);
    EXPECT_EQ(cues.at(u"go.wav"_s)->frames.size(), 5 * 4);
    EXPECT_EQ(cues.at(u"cargoingby.wav"_s)->frames.size(), 9 * 4);
    // Mixed at their rate; a club's cue at a higher rate raises it for all.
    EXPECT_EQ(mixingRate(cues), 22050);
    EXPECT_EQ(mixingRate({{u"go.wav"_s, std::make_shared<const WaveData>(WaveData{48000, {}})}}),
              48000);
    EXPECT_EQ(
        messages,
        (QStringList{
            u"Error can't find file: "_s + QDir(folders.sounds()).filePath(u"whiteflag2.wav"_s),
            u"Error can't find file: "_s + QDir(folders.sounds()).filePath(u"Raceover.wav"_s)}));
}

// The real output where the machine has one (a null sink will do): its stream runs
// on, silent between cues, and closes with it; a missing cue is reported on this
// thread.
TEST(SoundOutput, OpensPlaysAndClosesOnTheSystemsOutput) {
    if (!hasAudioOutput()) {
        GTEST_SKIP() << "no sound output on this machine";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath(u"go.wav"_s), waveFile(2, 16, std::vector<int>(4000))));
    QStringList messages;
    {
        SoundOutput output(
            QMediaDevices::defaultAudioOutput(), {u"go.wav"_s, u"getready.wav"_s},
            [&dir](const QString& file) { return dir.filePath(file); },
            [&messages](const QString& message) { messages << message; });
        output.play(u"go.wav"_s, 85, 20);
        output.playSpeech(*parseWave(waveFile(1, 16, std::vector<int>(3000))));
        output.cutSpeech();
        EXPECT_TRUE(runUntil([&output]() { return output.framesPlayed() > 11025; }, 10000));
    }
    EXPECT_EQ(messages,
              QStringList{u"Error can't find file: "_s + dir.filePath(u"getready.wav"_s)});
}

// ---------------------------------------------------------------- callouts

// Holds each text until the test says it has been spoken.
class HeldSpeech : public SpeechEngine {
public:
    void say(const QString& text, std::function<void()> done) override {
        said << text;
        pending = std::move(done);
    }
    void endWithin(int ms) override { ends.push_back(ms); }
    void finish() { std::exchange(pending, {})(); }
    QStringList said;
    std::vector<int> ends;
    std::function<void()> pending;
};

// A script stands in for espeak-ng: its wave goes to the race sound, the callout is
// done once it has been heard, and cut off it stops at once.
TEST(EspeakSpeech, PlaysWhatTheProgramMadeUntilItEndsOrIsCut) {
    struct SpeechSound : RecordingSound {
        void playSpeech(const WaveData& wave) override { frames.push_back(wave.frames.size() / 4); }
        void cutSpeech() override { ++cuts; }
        std::vector<qsizetype> frames;
        int cuts = 0;
    } sound;
    QTemporaryDir dir;
    const QString program = dir.filePath(u"speak"_s);
    const QString wave = dir.filePath(u"said.wav"_s);
    ASSERT_TRUE(writeBytes(program, (u"#!/bin/sh\necho \"$@\" > "_s + dir.filePath(u"args"_s) +
                                     u"\ncat "_s + wave + u"\n"_s)
                                        .toUtf8()));
    QFile(program).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    EspeakSpeech speech(program, sound);
    int done = 0;

    ASSERT_TRUE(writeBytes(wave, waveFile(1, 16, std::vector<int>(1100))));  // 50 ms
    speech.say(u"-Ann, one"_s, [&done]() { ++done; });
    EXPECT_EQ(done, 0);
    ASSERT_TRUE(runUntil([&done]() { return done == 1; }, 10000));
    EXPECT_EQ(sound.frames, std::vector<qsizetype>{1100});
    EXPECT_EQ(fileBytes(dir.filePath(u"args"_s)), "-v en-us -s 165 --stdout -- -Ann, one\n");

    ASSERT_TRUE(writeBytes(wave, waveFile(1, 16, std::vector<int>(22050 * 20))));  // 20 s
    speech.say(u"Bo, two"_s, [&done]() { ++done; });
    ASSERT_TRUE(runUntil([&sound]() { return sound.frames.size() == 2; }, 10000));
    speech.endWithin(0);
    ASSERT_TRUE(runUntil([&done]() { return done == 2; }, 10000));
    EXPECT_EQ(sound.cuts, 1);
}

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

TEST(LapCallouts, ALongNameIsSaidUpToItsTwentyFourthCharacterEndingWithAWord) {
    const QString flag = u"\U0001F3C1"_s;  // two UTF-16 units, one character
    // the name, what is said of it
    const std::pair<QString, QString> cases[] = {
        {u"Ann"_s, u"Ann"_s},
        {u"Abcdefghij Klmnopqrstuvw"_s, u"Abcdefghij Klmnopqrstuvw"_s},  // 24
        {u"Abcdefghij Klmnopqrstuvw X"_s, u"Abcdefghij Klmnopqrstuvw"_s},
        {u"  Bartholomew Fitzgerald Montgomery  "_s, u"Bartholomew Fitzgerald"_s},
        {u"Bartholomew Fitzgerald Montgomery-Smythe "_s.repeated(5), u"Bartholomew Fitzgerald"_s},
        {u"Wolfeschlegelsteinhausenbergerdorff"_s, u"Wolfeschlegelsteinhausen"_s},
        {flag.repeated(30), flag.repeated(24)}};
    for (const auto& [name, spoken] : cases) {
        HeldSpeech speech;
        LapCallouts callouts(&speech);
        callouts.setChoices({true, false});
        callouts.lapCounted(1, name, 1, 1000, false);
        EXPECT_EQ(speech.said, QStringList{spoken + u", one point zero zero"_s}) << name.size();
    }
}

// One callout at a time; the others wait, but not for long: more than three
// waiting drops the oldest, one not begun within 3 s of its lap is dropped, and
// "Race Over" drops them all and ends what is being said.
TEST(LapCallouts, WhatWaitsIsDroppedWhenStaleOrAtRaceOver) {
    // what happens (L at ms : lap counted, D at ms: the callout said, O at ms: Race
    // Over), the laps said, how soon speech was asked to end
    const std::tuple<const char*, std::vector<int>, std::vector<int>> cases[] = {
        {"L0:1 L100:2 D3100", {1, 2}, {}},  // waited exactly 3 s
        {"L0:1 L100:2 D3101", {1}, {}},
        {"L0:1 L500:2 L2000:3 D3600", {1, 3}, {}},
        {"L0:1 L0:2 L0:3 L0:4 L0:5 L0:6 D0 D0 D0", {1, 4, 5, 6}, {}},
        {"L0:1 D100 L5000:2", {1, 2}, {}},  // all said: the next lap at once
        {"L0:1 L100:2 O200 D1000", {1}, {2500}},
        {"O0 L100:1", {1}, {}}};  // nothing to end; the next race is heard
    for (const auto& [script, laps, ends] : cases) {
        HeldSpeech speech;
        int64_t now = 0;
        LapCallouts callouts(&speech, [&now]() { return now; });
        callouts.setChoices({true, false});
        for (const QString& step : QString::fromLatin1(script).split(u' ')) {
            const QStringList at = step.mid(1).split(u':');
            now = at[0].toLongLong();
            if (step[0] == u'L') {
                callouts.lapCounted(1, u"Ann"_s, at[1].toInt(), at[1].toInt() * 1000, false);
            } else if (step[0] == u'D') {
                speech.finish();
            } else {
                callouts.raceOver();
            }
        }
        QStringList said;
        for (const int lap : laps) {
            said << LapCallouts::text(1, u"Ann"_s, lap * 1000, false);
        }
        EXPECT_EQ(speech.said, said) << script;
        EXPECT_EQ(speech.ends, ends) << script;
    }
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
    // Laps 2 and 3 waited behind lap 1: dropped at "Race Over", and lap 1 is cut
    // short if it goes on.
    EXPECT_EQ(speech.ends, std::vector<int>{LapCallouts::kAfterRaceOverMs});
    speech.finish();
    EXPECT_EQ(speech.said, QStringList{u"Ann, one point zero zero"_s});
}

}  // namespace
}  // namespace lapdeck::test
