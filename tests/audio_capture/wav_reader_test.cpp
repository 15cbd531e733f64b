// WAV files of every layout the companion takes, and malformed ones it must refuse.

#include "tools/rerov-audio-capture/wav_reader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <cmath>

#include "tests/audio_capture/wav_fixture.h"

namespace rerov::capture {
namespace {

using test::WavLayout;

// A ramp that differs per channel: left t, right -t (in a 0.01 s file, below 1).
double Ramp(double t, int channel) { return channel == 0 ? t * 50.0 : -t * 50.0; }

TEST(WavReader, ReadsEveryTakenLayoutAsStereoFloats) {
    struct Case {
        WavLayout layout;
        double tolerance;
    };
    const Case cases[] = {
        {{44100, 1, 8, false, false}, 1.0 / 100}, {{44100, 2, 8, false, false}, 1.0 / 100},
        {{44100, 1, 16, false, false}, 1e-4},     {{48000, 2, 16, false, false}, 1e-4},
        {{22050, 2, 24, false, false}, 1e-6},     {{8000, 1, 32, false, false}, 1e-6},
        {{96000, 2, 32, true, false}, 1e-6},      {{44100, 2, 16, false, true}, 1e-4},
        {{44100, 1, 32, true, true}, 1e-6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.layout.bits << " bits, " << c.layout.channels << " channels, float "
                     << c.layout.isFloat << ", extensible " << c.layout.extensible);
        QByteArray bytes = test::MakeWav(c.layout, 0.01, Ramp);
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        WavReader reader;
        QString error;
        ASSERT_TRUE(reader.Open(&buffer, &error)) << error.toStdString();
        EXPECT_EQ(reader.SampleRate(), c.layout.sampleRate);
        EXPECT_EQ(reader.Channels(), c.layout.channels);
        const int frames = int(reader.FrameCount());
        EXPECT_EQ(frames, std::lround(0.01 * c.layout.sampleRate));
        std::vector<float> stereo(size_t(frames + 10) * 2);
        ASSERT_EQ(reader.ReadStereo(stereo.data(), frames + 10, &error), frames);
        for (int f = 0; f < frames; f += 7) {
            const double t = double(f) / c.layout.sampleRate;
            EXPECT_NEAR(stereo[size_t(2 * f)], Ramp(t, 0), c.tolerance) << "frame " << f;
            const double right = c.layout.channels == 2 ? Ramp(t, 1) : Ramp(t, 0);
            EXPECT_NEAR(stereo[size_t(2 * f + 1)], right, c.tolerance) << "frame " << f;
        }
        EXPECT_EQ(reader.ReadStereo(stereo.data(), 1, &error), 0);  // the end
        ASSERT_TRUE(reader.Rewind(&error));
        EXPECT_EQ(reader.ReadStereo(stereo.data(), 1, &error), 1);
    }
}

TEST(WavReader, SkipsOtherChunksAndTheirPadding) {
    const WavLayout layout;
    const QByteArray plain = test::MakeWav(layout, 0.01, Ramp);
    // A LIST chunk of odd size (one pad byte) between the format and the data chunk.
    QByteArray bytes = plain.left(36) +
                       QByteArray(
                           "LIST\x03\x00\x00\x00"
                           "abc\x00",
                           12) +
                       plain.mid(36);
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    WavReader reader;
    QString error;
    ASSERT_TRUE(reader.Open(&buffer, &error)) << error.toStdString();
    EXPECT_EQ(reader.FrameCount(), 441);
}

QByteArray Malformed(const char* which) {
    const QByteArray good = test::MakeWav(WavLayout{}, 0.01, Ramp);
    const QByteArray samples = good.mid(44);
    const QString name = QString::fromLatin1(which);
    if (name == "empty") return {};
    if (name == "not riff") return QByteArray("RIFX") + good.mid(4);
    if (name == "not wave") return good.left(8) + "AVI " + good.mid(12);
    if (name == "header cut") return good.left(20);
    if (name == "truncated data") return good.left(good.size() - 100);
    if (name == "huge data size") return test::WavHeader(1, 1, 44100, 2, 16, 0xFFFFFFF0) + samples;
    if (name == "huge chunk size") {
        return good.left(12) + QByteArray("junk\xF0\xFF\xFF\xFF", 8) + good.mid(12);
    }
    if (name == "huge format size")
        return good.left(16) + QByteArray("\xFF\xFF\xFF\x7F", 4) + good.mid(20);
    if (name == "zero channels") return test::WavHeader(1, 0, 44100, 0, 16, 882) + samples;
    if (name == "three channels") return test::WavHeader(1, 3, 44100, 6, 16, 882) + samples;
    if (name == "12 bits") return test::WavHeader(1, 1, 44100, 2, 12, 882) + samples;
    if (name == "64-bit float") return test::WavHeader(3, 1, 44100, 8, 64, 880) + samples;
    if (name == "compressed") return test::WavHeader(2, 1, 44100, 2, 16, 882) + samples;
    if (name == "zero rate") return test::WavHeader(1, 1, 0, 2, 16, 882) + samples;
    if (name == "block mismatch") return test::WavHeader(1, 2, 44100, 2, 16, 882) + samples;
    if (name == "no samples") return test::WavHeader(1, 1, 44100, 2, 16, 0);
    if (name == "no data chunk") return good.left(36);
    if (name == "data first") return good.left(12) + good.mid(36) + good.mid(12, 24);
    ADD_FAILURE() << "no such case " << which;
    return {};
}

TEST(WavReader, RefusesMalformedFilesWithAReason) {
    for (const char* which :
         {"empty", "not riff", "not wave", "header cut", "truncated data", "huge data size",
          "huge chunk size", "huge format size", "zero channels", "three channels", "12 bits",
          "64-bit float", "compressed", "zero rate", "block mismatch", "no samples",
          "no data chunk", "data first"}) {
        QByteArray bytes = Malformed(which);
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        WavReader reader;
        QString error;
        EXPECT_FALSE(reader.Open(&buffer, &error)) << which;
        EXPECT_FALSE(error.isEmpty()) << which;
        std::vector<float> stereo(2);
        EXPECT_EQ(reader.ReadStereo(stereo.data(), 1, &error), -1) << which;
    }
}

}  // namespace
}  // namespace rerov::capture
