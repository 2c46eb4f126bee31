#include "gate/answer_sounds.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>
#include <cmath>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct Tone {
    double hertz;
    int milliseconds;  // a tone of 0 Hz is silence
};

// 16-bit mono PCM in a RIFF WAVE file.
QByteArray WaveOf(const std::vector<Tone>& tones)
{
    QByteArray samples;
    for (const Tone& tone : tones) {
        const int count = kRate * tone.milliseconds / 1000;
        for (int i = 0; i < count; ++i) {
            // A short fade at both ends keeps the speaker from clicking.
            const double fade = std::min({1.0, i / 200.0, (count - i) / 200.0});
            const double value = tone.hertz > 0 ? 0.5 * fade * std::sin(2 * M_PI * tone.hertz * i / kRate) : 0.0;
            const qint16 sample = qint16(value * 32767);
            samples.append(char(sample & 0xff)).append(char((sample >> 8) & 0xff));
        }
    }
    QByteArray wave("RIFF");
    const auto u32 = [&wave](quint32 v) { v = qToLittleEndian(v); wave.append(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&wave](quint16 v) { v = qToLittleEndian(v); wave.append(reinterpret_cast<const char*>(&v), 2); };
    u32(quint32(36 + samples.size()));
    wave.append("WAVEfmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    wave.append("data");
    u32(quint32(samples.size()));
    return wave + samples;
}

std::unique_ptr<QSoundEffect> EffectOf(const QString& file, const std::vector<Tone>& tones)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(WaveOf(tones)) < 0)
        return nullptr;
    out.close();
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(file));
    return effect;
}

}  // namespace

AnswerSounds::AnswerSounds()
{
    if (!folder_.isValid())
        return;
    admit_ = EffectOf(folder_.filePath(QStringLiteral("admit.wav")), {{1320, 180}});
    refuse_ = EffectOf(folder_.filePath(QStringLiteral("refuse.wav")), {{330, 700}});
    unchecked_ = EffectOf(folder_.filePath(QStringLiteral("unchecked.wav")), {{660, 200}, {0, 120}, {660, 200}});
}

AnswerSounds::~AnswerSounds() = default;

void AnswerSounds::Play(GateReason reason)
{
    QSoundEffect* effect = reason == GateReason::Admit         ? admit_.get()
                           : reason == GateReason::CannotCheck ? unchecked_.get()
                                                               : refuse_.get();
    if (effect)
        effect->play();
}
