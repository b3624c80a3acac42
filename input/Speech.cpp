#include "input/Speech.h"

#include "core/Cp932.h"

namespace velkor {

std::string SpeechFailureMessage(SpeechFailure failure) {
  switch (failure) {
    case SpeechFailure::NoOutput: break;
    case SpeechFailure::NoEngine: return cp932::FromUtf8("音声を出力できません（open-jtalk が入っていません）");
    case SpeechFailure::NoDictionary:
      return cp932::FromUtf8("音声を出力できません（open-jtalk-mecab-naist-jdic が入っていません）");
    case SpeechFailure::NoVoice:
      return cp932::FromUtf8("音声を出力できません（声のパッケージ hts-voice-nitech-jp-atr503-m001 が入っていません）");
  }
  return cp932::FromUtf8("音声を出力できません");
}

}  // namespace velkor
