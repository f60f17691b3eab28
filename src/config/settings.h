#pragma once
// The settings of the saver, one field per key of "QUIBKARAOKE.ini".
// Field names are the key names.
#include <string>

namespace quib {

struct Settings {
  // [Setting]
  int Speed = 0;
  int Object = 200;
  bool StopOnKey = true;
  bool StopOnMouseMove = true;
  bool StopOnMouseClick = true;
  // [Option]
  bool UseBGM = false;
  std::string BGM;
  bool UseMessage = false;
  std::string MESSAGE;
  bool UseGaz = false;
  std::string Images;
  bool MonoChro = false;
  bool UseAutoPitch = true;
  bool Debug = false;
  bool TimeTag = false;
  int GazStyle = 0;
  int WipeStyle = 1;
  bool SetVolume = false;
  int Volume = 20;
  int TextBack = 0;
  bool bFRepeat = true;
  bool UsePass = false;
  std::string Password;
  // [Effect]
  int iNoiseT = 0;
  int iNoiseC = 0;
  bool bFontSP = false;
  std::string sFontNM;
  bool bFontBL = true;
  bool bFontIT = false;
  bool bFontUL = false;
  int iFSizePer = 100;
  int iTextTiming = 0;
  int iBackT = 1;
  // [Transp]
  int bTransB = 0;
  int bTransA = 100;
  // [Karaoke]
  bool bTimeForce = true;
  bool bNoKaraoke = false;
};

}  // namespace quib
