#pragma once

#include "register/gate_answer.h"

#include <QTemporaryDir>
#include <memory>

class QSoundEffect;

// A short high tone for an admission, a low long one for a refusal, two
// middle ones for "cannot check": the door hears the answer without looking.
// The tones are made here, as WAV files in a private folder; a machine
// without sound plays nothing and the window goes on.
class AnswerSounds {
public:
    AnswerSounds();
    ~AnswerSounds();
    void Play(GateReason reason);

private:
    QTemporaryDir folder_;
    std::unique_ptr<QSoundEffect> admit_, refuse_, unchecked_;
};
