#pragma once
// The settings dialog window: widgets bound to a SettingModel.
#include <QDialog>
#include <memory>
#include <string>

#include "config/setting_model.h"

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace quib {

class TSetting : public QDialog {
  Q_OBJECT
 public:
  explicit TSetting(const std::string& settingsPath, QWidget* parent = nullptr);
  ~TSetting() override;

  SettingModel& Model() { return model_; }
  QTabWidget* Tabs() const { return tabs_; }

  // Loads the controls from the settings file (done once by the constructor).
  void FormCreate();
  // OK: writes all keys and closes; a refused write shows a message box and
  // leaves the dialog open.
  void BitBtn1Click();
  void BitBtn2Click();  // Cancel: closes without writing
  void Button1Click();
  void Button2Click();
  void Button3Click();

 private:
  void Build();
  void ModelToWidgets();
  void WidgetsToModel();

  SettingModel model_;
  QTabWidget* tabs_ = nullptr;
  struct Widgets;
  std::unique_ptr<Widgets> w_;
};

}  // namespace quib
