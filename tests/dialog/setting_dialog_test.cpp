#include "config/setting_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <sstream>

#include "config/settings_file.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "support/test_support.h"

namespace quib {
namespace {

using test::TempDir;

template <typename W>
W* Control(TSetting& dialog, const char* name) {
  W* w = dialog.findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

std::vector<std::string> KeysInOrder(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line))
    if (auto eq = line.find('='); eq != std::string::npos) out.push_back(line.substr(0, eq));
  return out;
}

TEST(SettingDialog, OkOnAnEmptyFileWritesEveryDialogKeyWithTheDialogDefaults) {
  TempDir dir;
  const std::string path = dir.Write("QUIBKARAOKE.ini", "");
  TSetting dialog(path);
  dialog.BitBtn1Click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);

  std::vector<std::string> expected;
  for (const SettingKey& k : SettingsTable())
    if (k.dialogKey) expected.push_back(k.key);
  // [Option]'s last three keys sit at the end of their section.
  std::rotate(expected.begin() + 18, expected.begin() + 32, expected.end());
  EXPECT_EQ(KeysInOrder(test::ReadAll(path)), expected);

  Profile file(path);
  EXPECT_EQ(file.ReadString("Option", "UseMessage", ""), "1");
  EXPECT_EQ(file.ReadString("Option", "WipeStyle", ""), "0");
  EXPECT_EQ(file.ReadString("Option", "bFRepeat", ""), "0");
  EXPECT_EQ(file.ReadString("Option", "Password", ""), "M.LYMO");
  EXPECT_EQ(file.ReadString("Effect", "sFontNM", "x"), "");
  const Settings back = ReadDialogSettings(path), defaults = DialogDefaults();
  EXPECT_EQ(back.bTransA, defaults.bTransA);
  EXPECT_EQ(back.Volume, defaults.Volume);
  EXPECT_EQ(back.iBackT, defaults.iBackT);
}

TEST(SettingDialog, ValuesComeBackThroughTheWidgets) {
  const struct {
    const char* ini;
    const char* section;
    const char* key;
    std::string written;
  } cases[] = {
      {"[Transp]\nbTransA=5\n", "Transp", "bTransA", "110"},
      {"[Option]\nVolume=0x32\n", "Option", "Volume", "50"},
      {"[Option]\nTextBack=2\n", "Option", "TextBack", "2"},
      {"[Option]\nBGM=/m/\x83\x65\x83\x58\x83\x67.mp3\n", "Option", "BGM",
       "/m/\x83\x65\x83\x58\x83\x67.mp3"},  // an old code-page name, left untouched
      {"[Effect]\nsFontNM=No Such Face\n", "Effect", "sFontNM", "No Such Face"},
      {"[Option]\nPassword=SECRET\n", "Option", "Password", "SECRET"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path = dir.Write("QUIBKARAOKE.ini", c.ini);
    TSetting dialog(path);
    dialog.BitBtn1Click();
    EXPECT_EQ(Profile(path).ReadString(c.section, c.key, "?"), c.written) << c.ini;
  }
}

TEST(SettingDialog, CancelWritesNothing) {
  TempDir dir;
  const std::string text = "[Option]\nUseBGM=1\n";
  const std::string path = dir.Write("QUIBKARAOKE.ini", text);
  TSetting dialog(path);
  Control<QCheckBox>(dialog, "CheckBox1")->setChecked(false);
  Control<QPushButton>(dialog, "BitBtn2")->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(test::ReadAll(path), text);

  TSetting fresh(dir.File("none.ini"));
  fresh.BitBtn2Click();
  EXPECT_FALSE(PathExists(dir.File("none.ini")));
}

TEST(SettingDialog, RefusedWriteShowsAMessageAndStaysOpen) {
  TempDir dir;
  dir.Write("blocker", "");
  const std::string path = dir.File("blocker/QUIBKARAOKE.ini");
  TSetting dialog(path);
  dialog.show();
  QString shown;
  // The message box is modal; read it and close it once it is up.
  std::function<void()> closeBox = [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    } else {
      QTimer::singleShot(10, closeBox);
    }
  };
  QTimer::singleShot(0, closeBox);
  dialog.BitBtn1Click();
  EXPECT_EQ(shown.toStdString(), path + " に書き込めません");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST(SettingDialog, EmptiedSpinEditSavesItsMinimum) {
  TempDir dir;
  const std::string path = dir.Write("QUIBKARAOKE.ini", "[Option]\nVolume=40\n");
  TSetting dialog(path);
  for (const char* name : {"CSpinEdit1", "CSpinEdit2", "CSpinEdit3"})
    Control<QSpinBox>(dialog, name)->findChild<QLineEdit*>()->setText("");
  dialog.BitBtn1Click();
  const Settings back = ReadSaverSettings(path);
  EXPECT_EQ(back.Volume, 1);
  EXPECT_EQ(back.iFSizePer, 50);
  EXPECT_EQ(back.iTextTiming, -2000);
}

void Type(QWidget* w, const QString& text) {
  for (QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &press);
  }
}

TEST(SettingDialog, PasswordFieldTakesCapitalsDigitsStopAndSpaceUpToTwenty) {
  TempDir dir;
  TSetting dialog(dir.File("QUIBKARAOKE.ini"));
  QLineEdit* edit = Control<QLineEdit>(dialog, "Edit4");
  edit->clear();
  Type(edit, "ab!c-1. 9@");
  EXPECT_EQ(edit->text().toStdString(), "ABC1. 9");
  edit->clear();
  Type(edit, QString(25, QChar('q')));
  EXPECT_EQ(edit->text().toStdString(), std::string(20, 'Q'));
}

TEST(SettingDialog, MusicChoiceFillsTheWidgets) {
  TempDir dir;
  const std::string song = dir.Write("m/song.mp3", "");
  dir.Write("m/song_t.txt", "");
  dir.Write("m/qkaraimg/a.jpg", "");
  TSetting dialog(dir.File("QUIBKARAOKE.ini"));
  dialog.Model().ExecuteOpenDialog1 = [&](std::string& p) {
    p = song;
    return true;
  };
  Control<QPushButton>(dialog, "Button1")->click();
  EXPECT_TRUE(Control<QCheckBox>(dialog, "CheckBox1")->isChecked());
  EXPECT_EQ(Control<QLineEdit>(dialog, "Edit1")->text().toStdString(), song);
  EXPECT_EQ(Control<QLineEdit>(dialog, "Edit2")->text().toStdString(), dir.File("m/song_t.txt"));
  EXPECT_EQ(Control<QLineEdit>(dialog, "Edit3")->text().toStdString(), dir.File("m/qkaraimg/"));
  EXPECT_TRUE(Control<QCheckBox>(dialog, "CheckBox2")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(dialog, "CheckBox4")->isChecked());
}

TEST(SettingDialog, FormHasItsCaptionPagesAndButtons) {
  TempDir dir;
  TSetting dialog(dir.File("QUIBKARAOKE.ini"));
  EXPECT_EQ(dialog.windowTitle().toStdString(), "QUIBSCREENSAVER");
  EXPECT_EQ(dialog.size(), QSize(445, 440));
  const char* pages[] = {"動作オプション", "エフェクトオプション", "難しい設定", "パスワード"};
  ASSERT_EQ(dialog.Tabs()->count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dialog.Tabs()->tabText(i).toStdString(), pages[i]);
  EXPECT_EQ(dialog.Tabs()->currentIndex(), 0);
  EXPECT_TRUE(Control<QPushButton>(dialog, "BitBtn1")->isDefault());
  EXPECT_EQ(Control<QComboBox>(dialog, "ComboBox7")->count(), 10);
  EXPECT_FALSE(Control<QCheckBox>(dialog, "CheckBox3")->isVisibleTo(&dialog));
}

TEST(SettingDialog, EnterSavesAndEscapeCancels) {
  const struct {
    int key;
    QDialog::DialogCode result;
    bool written;
  } cases[] = {{Qt::Key_Return, QDialog::Accepted, true},
               {Qt::Key_Escape, QDialog::Rejected, false}};
  for (const auto& c : cases) {
    TempDir dir;
    TSetting dialog(dir.File("QUIBKARAOKE.ini"));
    dialog.show();
    QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &press);
    EXPECT_EQ(dialog.result(), c.result) << c.key;
    EXPECT_EQ(PathExists(dir.File("QUIBKARAOKE.ini")), c.written) << c.key;
  }
}

bool IsControl(const QWidget* w) {
  return qobject_cast<const QCheckBox*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QLabel*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QSpinBox*>(w) || qobject_cast<const QPushButton*>(w);
}

// Every page is photographed for a look by eye, and checked for controls
// that overlap, leave the dialog or are too narrow for their caption.
TEST(SettingDialog, EveryPageLaysOutWithoutOverlap) {
  TempDir dir;
  TSetting dialog(dir.File("QUIBKARAOKE.ini"));
  dialog.show();
  for (int page = 0; page < dialog.Tabs()->count(); ++page) {
    dialog.Tabs()->setCurrentIndex(page);
    QApplication::processEvents();
    dialog.grab().save(QString::fromUtf8(QUIB_TEST_TMP "/../setting_page_%1.png").arg(page + 1));

    std::vector<std::pair<QWidget*, QRect>> shown;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
      if (!IsControl(w) || !w->isVisible() || IsControl(w->parentWidget())) continue;
      shown.emplace_back(w, QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size()));
    }
    ASSERT_GT(shown.size(), 10u);
    for (size_t i = 0; i < shown.size(); ++i) {
      const auto& [w, r] = shown[i];
      const std::string name = (w->objectName().isEmpty() ? w->metaObject()->className()
                                                          : w->objectName().toStdString()) +
                               " on page " + std::to_string(page + 1);
      EXPECT_TRUE(dialog.rect().contains(r)) << name;
      const bool fixedText = qobject_cast<QCheckBox*>(w) || qobject_cast<QLabel*>(w) ||
                             qobject_cast<QSpinBox*>(w) ||
                             (qobject_cast<QComboBox*>(w) && !qobject_cast<QFontComboBox*>(w));
      if (fixedText) {
        EXPECT_GE(r.width(), w->sizeHint().width()) << name;
      }
      for (size_t j = i + 1; j < shown.size(); ++j)
        EXPECT_FALSE(r.intersects(shown[j].second))
            << name << " overlaps " << shown[j].first->objectName().toStdString();
    }
  }
}

}  // namespace
}  // namespace quib
