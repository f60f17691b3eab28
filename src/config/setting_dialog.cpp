#include "config/setting_dialog.h"

#include <QBitmap>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/code_page.h"

namespace quib {

namespace {

constexpr const char* Caption = "QUIBSCREENSAVER";
constexpr const char* WebAddress = "https://quib-karaoke.example.org/";

// The password is typed afresh or extended, so focusing it keeps the text unselected.
class PasswordEdit final : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusInEvent(QFocusEvent* event) override {
    QLineEdit::focusInEvent(event);
    deselect();
  }
};

QString Shown(const std::string& bytes) {
  return QString::fromStdString(DecodeToUtf8(bytes));
}

// A value read from the file may be in the old code page; as long as the
// user leaves it alone it goes back byte for byte.
std::string Stored(const QString& shown, const std::string& original) {
  return shown == Shown(original) ? original : shown.toStdString();
}

QCheckBox* NewCheck(const char* name, const char* caption, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(name);
  return box;
}

QComboBox* NewList(const char* name, std::span<const char* const> items, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  for (const char* item : items) list->addItem(QString::fromUtf8(item));
  return list;
}

QSpinBox* NewSpin(const char* name, const SpinRange& range, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(range.minValue, range.maxValue);
  spin->setSingleStep(range.step);
  return spin;
}

QLineEdit* NewPathEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

QPushButton* NewBrowse(const char* name, QWidget* parent) {
  auto* button = new QPushButton(QStringLiteral("..."), parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  button->setFixedWidth(28);
  return button;
}

QLabel* NewLabel(const char* text, QWidget* parent) {
  return new QLabel(QString::fromUtf8(text), parent);
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, bool stretch = true) {
  auto* row = new QHBoxLayout;
  for (QWidget* w : widgets) row->addWidget(w);
  if (stretch) row->addStretch(1);
  return row;
}

int SpinNumber(const QSpinBox* spin, const SpinRange& range) {
  return SpinEditValue(spin->cleanText().toStdString(), range);
}

}  // namespace

struct TSetting::Widgets {
  QCheckBox *CheckBox7, *CheckBox6, *CheckBox5, *CheckKey, *MouseMove, *MouseClick;
  QSpinBox *CSpinEdit1, *CSpinEdit2, *CSpinEdit3;
  QCheckBox *CheckBox1, *CBoxRepeat, *CheckBox3, *CheckBox2, *CheckBox4, *CheckBox13, *CheckBox14;
  QLineEdit *Edit1, *Edit2, *Edit3, *Edit4;
  QPushButton *Button1, *Button2, *Button3, *BitBtn1, *BitBtn2;
  QComboBox *ComboBox1, *ComboBox2, *ComboBox3, *ComboBox4, *ComboBox5, *ComboBox6, *ComboBox7;
  QCheckBox *CheckBox8, *CheckBox9, *CheckBox10, *CheckBox11, *CBTime, *CBNoKara, *CheckBox12;
  QFontComboBox* FNComboBox1;
  // What the file held, so untouched texts are written back unchanged.
  std::string loadedFont, loadedBGM, loadedMessage, loadedImages;
  QString passwordBefore;
};

TSetting::TSetting(const std::string& settingsPath, QWidget* parent)
    : QDialog(parent), model_(settingsPath), w_(std::make_unique<Widgets>()) {
  setObjectName("Setting");
  setWindowTitle(QString::fromUtf8(Caption));
  QFont face;
  face.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
  face.setPixelSize(12);
  setFont(face);
  Build();
  setFixedSize(445, 440);

  model_.ExecuteOpenDialog1 = [this](std::string& path) {
    QString chosen = QFileDialog::getOpenFileName(
        this, QString::fromUtf8("BGMファイルの選択"),
        QFile::decodeName(model_.OpenDialog1InitialDir.c_str()),
        QString::fromUtf8("オーディオファイル (*.mid *.wav *.mp3 *.mp2 *.wma *.ogg)"));
    path = QFile::encodeName(chosen).toStdString();
    return !chosen.isEmpty();
  };
  model_.ExecuteOpenDialog2 = [this](std::string& path) {
    QString chosen =
        QFileDialog::getOpenFileName(this, QString::fromUtf8("メッセージファイルの選択"),
                                     QFile::decodeName(model_.OpenDialog2InitialDir.c_str()),
                                     QString::fromUtf8("テキストファイル TXT (*.txt)"));
    path = QFile::encodeName(chosen).toStdString();
    return !chosen.isEmpty();
  };
  model_.BrowseForFolder = [this](std::string& path) {
    QString chosen = QFileDialog::getExistingDirectory(
        this, QString::fromUtf8("画像フォルダの選択"), QString(), QFileDialog::ShowDirsOnly);
    path = QFile::encodeName(chosen).toStdString();
    return !chosen.isEmpty();
  };

  FormCreate();
}

TSetting::~TSetting() = default;

void TSetting::Build() {
  Widgets& w = *w_;
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(6, 6, 6, 6);
  top->setSpacing(4);

  // The two frames above the pages.
  auto* frames = new QHBoxLayout;
  auto* general = new QGroupBox(QString::fromUtf8("設定"), this);
  w.CheckBox7 = NewCheck("CheckBox7", "再生時にボリュームを指定する", general);
  w.CSpinEdit1 = NewSpin("CSpinEdit1", CSpinEdit1Range, general);
  w.CheckBox6 = NewCheck("CheckBox6", "デバッグモード", general);
  w.CheckBox5 = NewCheck("CheckBox5", "タイムタグ入力", general);
  auto* generalRows = new QVBoxLayout(general);
  generalRows->setContentsMargins(6, 2, 6, 4);
  generalRows->setSpacing(2);
  generalRows->addLayout(Row({w.CheckBox7, w.CSpinEdit1}));
  generalRows->addLayout(Row({w.CheckBox6, w.CheckBox5}));
  auto* stops = new QGroupBox(QString::fromUtf8("停止条件"), this);
  w.CheckKey = NewCheck("CheckKey", "キー入力", stops);
  w.MouseMove = NewCheck("MouseMove", "マウス移動", stops);
  w.MouseClick = NewCheck("MouseClick", "マウスクリック", stops);
  auto* stopRows = new QVBoxLayout(stops);
  stopRows->setContentsMargins(6, 2, 6, 4);
  stopRows->setSpacing(2);
  stopRows->addLayout(Row({w.CheckKey, w.MouseMove}));
  stopRows->addLayout(Row({w.MouseClick}));
  frames->addWidget(general, 3);
  frames->addWidget(stops, 2);
  top->addLayout(frames);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("PageControl1");
  top->addWidget(tabs_, 1);

  // "動作オプション"
  auto* options = new QWidget;
  w.CheckBox1 = NewCheck("CheckBox1", "BGMを鳴らす", options);
  w.CBoxRepeat = NewCheck("CBoxRepeat", "フォルダ内連続再生", options);
  w.CheckBox3 = NewCheck("CheckBox3", "BGMにメッセージをなんとなく合わせる", options);
  w.CheckBox3->hide();  // no effect anywhere, but its value is kept
  w.Edit1 = NewPathEdit("Edit1", options);
  w.Button1 = NewBrowse("Button1", options);
  w.CheckBox2 = NewCheck("CheckBox2", "テキストを表示", options);
  w.ComboBox2 = NewList("ComboBox2", ComboBox2Items(), options);
  w.Edit2 = NewPathEdit("Edit2", options);
  w.Button2 = NewBrowse("Button2", options);
  w.CheckBox4 = NewCheck("CheckBox4", "画像を表示", options);
  w.CheckBox13 = NewCheck("CheckBox13", "モノクロ化", options);
  w.ComboBox1 = NewList("ComboBox1", ComboBox1Items(), options);
  w.Edit3 = NewPathEdit("Edit3", options);
  w.Button3 = NewBrowse("Button3", options);
  w.ComboBox7 = NewList("ComboBox7", ComboBox7Items(), options);
  w.ComboBox7->setMaxVisibleItems(10);
  w.CheckBox14 = NewCheck("CheckBox14", "暗透過（重い）", options);
  auto* optionRows = new QVBoxLayout(options);
  optionRows->setContentsMargins(8, 6, 8, 6);
  optionRows->setSpacing(3);
  optionRows->addLayout(Row({w.CheckBox1, w.CBoxRepeat}));
  optionRows->addLayout(Row({w.Edit1, w.Button1}, false));
  optionRows->addLayout(Row({w.CheckBox2, NewLabel("ワイプ", options), w.ComboBox2}));
  optionRows->addLayout(Row({w.Edit2, w.Button2}, false));
  optionRows->addLayout(
      Row({w.CheckBox4, w.CheckBox13, NewLabel("スタイル", options), w.ComboBox1}));
  optionRows->addLayout(Row({w.Edit3, w.Button3}, false));
  optionRows->addLayout(Row({NewLabel("透過率：", options), w.ComboBox7, w.CheckBox14}));
  optionRows->addStretch(1);
  tabs_->addTab(options, QString::fromUtf8("動作オプション"));

  // "エフェクトオプション"
  auto* effects = new QWidget;
  auto* noise = new QGroupBox(QString::fromUtf8("ノイズ"), effects);
  w.ComboBox3 = NewList("ComboBox3", ComboBox3Items(), noise);
  w.ComboBox4 = NewList("ComboBox4", ComboBox4Items(), noise);
  auto* noiseRows = new QGridLayout(noise);
  noiseRows->setContentsMargins(6, 2, 6, 4);
  noiseRows->addWidget(NewLabel("タイプ", noise), 0, 0);
  noiseRows->addWidget(w.ComboBox3, 0, 1);
  noiseRows->addWidget(NewLabel("カラー", noise), 1, 0);
  noiseRows->addWidget(w.ComboBox4, 1, 1);
  auto* text = new QGroupBox(QString::fromUtf8("テキスト"), effects);
  w.CSpinEdit3 = NewSpin("CSpinEdit3", CSpinEdit3Range, text);
  w.CheckBox9 = NewCheck("CheckBox9", "ボールド", text);
  w.CheckBox10 = NewCheck("CheckBox10", "イタリック", text);
  w.CheckBox11 = NewCheck("CheckBox11", "アンダーライン", text);
  w.CSpinEdit2 = NewSpin("CSpinEdit2", CSpinEdit2Range, text);
  w.CheckBox8 = NewCheck("CheckBox8", "指定する", text);
  w.FNComboBox1 = new QFontComboBox(text);
  w.FNComboBox1->setObjectName("FNComboBox1");
  // Editable, so a face this machine lacks (or none at all) is kept as written.
  w.FNComboBox1->setEditable(true);
  w.FNComboBox1->setMaximumWidth(180);
  auto* textRows = new QVBoxLayout(text);
  textRows->setContentsMargins(6, 2, 6, 4);
  textRows->setSpacing(2);
  textRows->addLayout(
      Row({NewLabel("タイミング遅延", text), w.CSpinEdit3, NewLabel("ミリ秒", text)}));
  textRows->addLayout(Row({NewLabel("文字サイズ", text), w.CSpinEdit2, NewLabel("%", text)}));
  textRows->addLayout(Row({w.CheckBox9, w.CheckBox10}));
  textRows->addLayout(Row({w.CheckBox11}));
  textRows->addLayout(Row({w.CheckBox8}));
  textRows->addWidget(w.FNComboBox1);
  auto* textBack = new QGroupBox(QString::fromUtf8("テキスト背景"), effects);
  w.ComboBox5 = NewList("ComboBox5", ComboBox5Items(), textBack);
  auto* textBackRow = new QHBoxLayout(textBack);
  textBackRow->setContentsMargins(6, 2, 6, 4);
  textBackRow->addWidget(NewLabel("タイプ", textBack));
  textBackRow->addWidget(w.ComboBox5, 1);
  auto* back = new QGroupBox(QString::fromUtf8("背景"), effects);
  w.ComboBox6 = NewList("ComboBox6", ComboBox6Items(), back);
  auto* backRow = new QHBoxLayout(back);
  backRow->setContentsMargins(6, 2, 6, 4);
  backRow->addWidget(NewLabel("タイプ", back));
  backRow->addWidget(w.ComboBox6, 1);
  auto* effectColumns = new QHBoxLayout(effects);
  effectColumns->setContentsMargins(6, 4, 6, 4);
  auto* left = new QVBoxLayout;
  left->addWidget(noise);
  left->addWidget(textBack);
  left->addWidget(back);
  left->addStretch(1);
  effectColumns->addLayout(left, 1);
  effectColumns->addWidget(text, 1, Qt::AlignTop);
  tabs_->addTab(effects, QString::fromUtf8("エフェクトオプション"));

  // "難しい設定"
  auto* advanced = new QWidget;
  auto* timeGroup = new QGroupBox(QString::fromUtf8("タイムタグ"), advanced);
  w.CBTime = NewCheck("CBTime", "擬似追っかけする。", timeGroup);
  (new QVBoxLayout(timeGroup))->addWidget(w.CBTime);
  auto* karaokeGroup = new QGroupBox(QString::fromUtf8("カラオケタグ＆「伺か」タグ"), advanced);
  w.CBNoKara = NewCheck("CBNoKara", "追っかけしない。", karaokeGroup);
  (new QVBoxLayout(karaokeGroup))->addWidget(w.CBNoKara);
  auto* advancedRows = new QVBoxLayout(advanced);
  advancedRows->addWidget(timeGroup);
  advancedRows->addWidget(karaokeGroup);
  advancedRows->addStretch(1);
  tabs_->addTab(advanced, QString::fromUtf8("難しい設定"));

  // "パスワード"
  auto* passwordPage = new QWidget;
  auto* passwordGroup = new QGroupBox(QString::fromUtf8("独自方式パスワード"), passwordPage);
  w.CheckBox12 = NewCheck("CheckBox12", "使用する", passwordGroup);
  w.Edit4 = new PasswordEdit(passwordGroup);
  w.Edit4->setObjectName("Edit4");
  QFont passwordFace(QStringLiteral("Arial"));
  passwordFace.setBold(true);
  passwordFace.setPixelSize(15);
  w.Edit4->setFont(passwordFace);
  // The password is typed on the saver's bare key codes, never composed.
  w.Edit4->setAttribute(Qt::WA_InputMethodEnabled, false);
  connect(w.Edit4, &QLineEdit::textEdited, this, [this](const QString& edited) {
    QLineEdit* edit = w_->Edit4;
    const std::string typed = edited.toStdString();
    std::string kept;
    for (char c : typed)
      if (char k = Edit4KeyPress(c); k != 0 && k != '\b') kept += k;
    // Typing past the limit is refused rather than cutting off the end; a
    // longer password put into the file by hand stays as it is until edited.
    const bool tooLong = static_cast<int>(kept.size()) > PasswordMaxLength &&
                         kept.size() > w_->passwordBefore.toStdString().size();
    if (tooLong) {
      const int cursor = edit->cursorPosition();
      edit->setText(w_->passwordBefore);
      const int added = static_cast<int>(edited.size() - w_->passwordBefore.size());
      edit->setCursorPosition(std::max(0, cursor - added));
    } else if (kept != typed) {
      const std::string before = edited.left(edit->cursorPosition()).toStdString();
      int cursor = 0;
      for (char c : before)
        if (char k = Edit4KeyPress(c); k != 0 && k != '\b') ++cursor;
      edit->setText(QString::fromStdString(kept));
      edit->setCursorPosition(cursor);
    }
    w_->passwordBefore = edit->text();
  });
  auto* passwordRows = new QVBoxLayout(passwordGroup);
  passwordRows->addWidget(w.CheckBox12);
  passwordRows->addWidget(w.Edit4);
  auto* passwordPageRows = new QVBoxLayout(passwordPage);
  passwordPageRows->addWidget(passwordGroup);
  passwordPageRows->addStretch(1);
  tabs_->addTab(passwordPage, QString::fromUtf8("パスワード"));
  tabs_->setCurrentIndex(0);

  // Credits and the buttons.
  auto* bottom = new QHBoxLayout;
  auto* credits = new QFrame(this);
  credits->setObjectName("Panel1");
  credits->setAutoFillBackground(true);
  QPalette white = credits->palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  credits->setPalette(white);
  credits->setFrameShape(QFrame::StyledPanel);
  auto* mascot = new QLabel(credits);
  mascot->setObjectName("Image1");
  mascot->setFixedSize(64, 64);
  mascot->setScaledContents(true);
  if (QImage sprite(QStringLiteral(":/mascot.png")); !sprite.isNull()) {
    // The sprite's top-left pixel is its see-through colour, as on the saver.
    QPixmap pixmap = QPixmap::fromImage(sprite);
    pixmap.setMask(
        QBitmap::fromImage(sprite.createMaskFromColor(sprite.pixel(0, 0), Qt::MaskInColor)));
    mascot->setPixmap(pixmap);
  }
  auto* product = new QLabel(QString::fromUtf8("QUIBカラオケスクリーンセーバー"), credits);
  QFont bold = product->font();
  bold.setBold(true);
  product->setFont(bold);
  auto* version = new QLabel(QStringLiteral("Version 1.0"), credits);
  version->setObjectName("LabelVersion");
  auto* credit =
      new QLabel(QStringLiteral("Written for the Linux desktop by the QUIB team"), credits);
  auto* link = new QLabel(
      QStringLiteral("<a href=\"%1\">%1</a>").arg(QString::fromLatin1(WebAddress)), credits);
  link->setObjectName("URLLabel1");
  link->setOpenExternalLinks(true);
  auto* creditText = new QVBoxLayout;
  creditText->setSpacing(1);
  creditText->addWidget(product);
  creditText->addWidget(version);
  creditText->addWidget(credit);
  creditText->addWidget(link);
  auto* creditRow = new QHBoxLayout(credits);
  creditRow->setContentsMargins(4, 4, 4, 4);
  creditRow->addWidget(mascot, 0, Qt::AlignTop);
  creditRow->addLayout(creditText, 1);
  bottom->addWidget(credits, 1);

  w.BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", this);
  w.BitBtn1->setObjectName("BitBtn1");
  w.BitBtn1->setDefault(true);
  w.BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QString::fromUtf8("キャンセル"), this);
  w.BitBtn2->setObjectName("BitBtn2");
  w.BitBtn2->setAutoDefault(false);
  auto* buttons = new QVBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(w.BitBtn1);
  buttons->addWidget(w.BitBtn2);
  bottom->addLayout(buttons);
  top->addLayout(bottom);

  connect(w.BitBtn1, &QPushButton::clicked, this, &TSetting::BitBtn1Click);
  connect(w.BitBtn2, &QPushButton::clicked, this, &TSetting::BitBtn2Click);
  connect(w.Button1, &QPushButton::clicked, this, &TSetting::Button1Click);
  connect(w.Button2, &QPushButton::clicked, this, &TSetting::Button2Click);
  connect(w.Button3, &QPushButton::clicked, this, &TSetting::Button3Click);
}

void TSetting::ModelToWidgets() {
  Widgets& w = *w_;
  const SettingControls& c = model_.controls;
  w.CheckBox7->setChecked(c.CheckBox7);
  w.CSpinEdit1->setValue(c.CSpinEdit1);
  w.CheckBox6->setChecked(c.CheckBox6);
  w.CheckBox5->setChecked(c.CheckBox5);
  w.CheckKey->setChecked(c.CheckKey);
  w.MouseMove->setChecked(c.MouseMove);
  w.MouseClick->setChecked(c.MouseClick);
  w.CheckBox1->setChecked(c.CheckBox1);
  w.CBoxRepeat->setChecked(c.CBoxRepeat);
  w.CheckBox3->setChecked(c.CheckBox3);
  w.loadedBGM = c.Edit1;
  w.Edit1->setText(Shown(c.Edit1));
  w.CheckBox2->setChecked(c.CheckBox2);
  w.ComboBox2->setCurrentIndex(c.ComboBox2);
  w.loadedMessage = c.Edit2;
  w.Edit2->setText(Shown(c.Edit2));
  w.CheckBox4->setChecked(c.CheckBox4);
  w.CheckBox13->setChecked(c.CheckBox13);
  w.ComboBox1->setCurrentIndex(c.ComboBox1);
  w.loadedImages = c.Edit3;
  w.Edit3->setText(Shown(c.Edit3));
  w.ComboBox7->setCurrentIndex(c.ComboBox7);
  w.CheckBox14->setChecked(c.CheckBox14);
  w.ComboBox3->setCurrentIndex(c.ComboBox3);
  w.ComboBox4->setCurrentIndex(c.ComboBox4);
  w.CSpinEdit3->setValue(c.CSpinEdit3);
  w.CheckBox9->setChecked(c.CheckBox9);
  w.CheckBox10->setChecked(c.CheckBox10);
  w.CheckBox11->setChecked(c.CheckBox11);
  w.CSpinEdit2->setValue(c.CSpinEdit2);
  w.CheckBox8->setChecked(c.CheckBox8);
  w.loadedFont = c.FNComboBox1;
  w.FNComboBox1->setEditText(Shown(c.FNComboBox1));
  w.ComboBox5->setCurrentIndex(c.ComboBox5);
  w.ComboBox6->setCurrentIndex(c.ComboBox6);
  w.CBTime->setChecked(c.CBTime);
  w.CBNoKara->setChecked(c.CBNoKara);
  w.CheckBox12->setChecked(c.CheckBox12);
  w.Edit4->setText(QString::fromStdString(c.Edit4));
  w.passwordBefore = w.Edit4->text();
}

void TSetting::WidgetsToModel() {
  const Widgets& w = *w_;
  SettingControls& c = model_.controls;
  c.CheckBox7 = w.CheckBox7->isChecked();
  c.CSpinEdit1 = SpinNumber(w.CSpinEdit1, CSpinEdit1Range);
  c.CheckBox6 = w.CheckBox6->isChecked();
  c.CheckBox5 = w.CheckBox5->isChecked();
  c.CheckKey = w.CheckKey->isChecked();
  c.MouseMove = w.MouseMove->isChecked();
  c.MouseClick = w.MouseClick->isChecked();
  c.CheckBox1 = w.CheckBox1->isChecked();
  c.CBoxRepeat = w.CBoxRepeat->isChecked();
  c.CheckBox3 = w.CheckBox3->isChecked();
  c.Edit1 = Stored(w.Edit1->text(), w.loadedBGM);
  c.CheckBox2 = w.CheckBox2->isChecked();
  c.ComboBox2 = w.ComboBox2->currentIndex();
  c.Edit2 = Stored(w.Edit2->text(), w.loadedMessage);
  c.CheckBox4 = w.CheckBox4->isChecked();
  c.CheckBox13 = w.CheckBox13->isChecked();
  c.ComboBox1 = w.ComboBox1->currentIndex();
  c.Edit3 = Stored(w.Edit3->text(), w.loadedImages);
  c.ComboBox7 = w.ComboBox7->currentIndex();
  c.CheckBox14 = w.CheckBox14->isChecked();
  c.ComboBox3 = w.ComboBox3->currentIndex();
  c.ComboBox4 = w.ComboBox4->currentIndex();
  c.CSpinEdit3 = SpinNumber(w.CSpinEdit3, CSpinEdit3Range);
  c.CheckBox9 = w.CheckBox9->isChecked();
  c.CheckBox10 = w.CheckBox10->isChecked();
  c.CheckBox11 = w.CheckBox11->isChecked();
  c.CSpinEdit2 = SpinNumber(w.CSpinEdit2, CSpinEdit2Range);
  c.CheckBox8 = w.CheckBox8->isChecked();
  c.FNComboBox1 = Stored(w.FNComboBox1->currentText(), w.loadedFont);
  c.ComboBox5 = w.ComboBox5->currentIndex();
  c.ComboBox6 = w.ComboBox6->currentIndex();
  c.CBTime = w.CBTime->isChecked();
  c.CBNoKara = w.CBNoKara->isChecked();
  c.CheckBox12 = w.CheckBox12->isChecked();
  c.Edit4 = w.Edit4->text().toStdString();
}

void TSetting::FormCreate() {
  model_.FormCreate();
  ModelToWidgets();
}

void TSetting::BitBtn1Click() {
  WidgetsToModel();
  std::string error;
  if (!model_.BitBtn1Click(error)) {
    QMessageBox::warning(this, QString::fromUtf8(Caption), QString::fromStdString(error));
    return;
  }
  accept();
}

void TSetting::BitBtn2Click() {
  reject();
}

void TSetting::Button1Click() {
  WidgetsToModel();
  model_.Button1Click();
  ModelToWidgets();
}

void TSetting::Button2Click() {
  WidgetsToModel();
  model_.Button2Click();
  ModelToWidgets();
}

void TSetting::Button3Click() {
  WidgetsToModel();
  model_.Button3Click();
  ModelToWidgets();
}

}  // namespace quib
