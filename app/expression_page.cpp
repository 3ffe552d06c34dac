#include "app/expression_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "app/byte_text.h"
#include "app/byte_text_edit.h"
#include "app/command_ids.h"
#include "app/dialog_units.h"
#include "app/settings_store.h"
#include "app/variables_file.h"
#include "platform/message_box.h"
#include "vell_engine.h"

namespace {

using vell::ByteTextEdit;
namespace ids = vell::ids;

const QString kSettings = QStringLiteral("Settings");
const QString kExpressions = QStringLiteral("Expressions");
const QString kPath = QStringLiteral("Path");
constexpr int kMaxHistoryBeforeAdd = 20;  // one more is added: 21 at most
constexpr int kMaxHistory = kMaxHistoryBeforeAdd + 1;

const char kExpressionTip[] =
    "Please type in the expression here. For eg:\r\nsin(45)+56/2\r\nYou may also use any variable from the "
    "'variables' box.";
const char kVariablesTip[] = "Please type in the variables here. For eg:\r\nx=sin(45)+56/2\r\ny=x/23";

QString Plain(const QString& label) {
  QString name = label;
  return name.remove(QLatin1Char('&'));
}

// A check box shows 0, 1 or 2; anything else shows as 0.
void SetCheck(QCheckBox* box, int value) {
  if (value == 2) {
    box->setCheckState(Qt::PartiallyChecked);
  } else {
    box->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
  }
}

int GetCheck(const QCheckBox* box) {
  switch (box->checkState()) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    default:
      return 0;
  }
}

QFont CourierFont(int pixelHeight, QFont::Weight weight) {
  QFont font(QStringLiteral("Courier"));
  // Where no Courier is installed, another typewriter face stands in.
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(pixelHeight);
  font.setWeight(weight);
  return font;
}

// The folder of path followed by "*.TXT", or path itself without a folder.
QString RememberedPattern(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? path : path.left(slash + 1) + QStringLiteral("*.TXT");
}

}  // namespace

CVellPage1::CVellPage1(QWidget* parent) : QWidget(parent), dialogChooser_(this) {
  tipsOn = ReadSettingInt(kSettings, QStringLiteral("Tips"), 1);
  CreateControls();
  DoDataExchange(false);
  OnInitDialog();
  qApp->installEventFilter(this);
}

CVellPage1::~CVellPage1() = default;

QSize CVellPage1::TemplateSize(const QFont& dialogFont) {
  const vell::DialogUnits units(dialogFont);
  return QSize(units.X(237), units.Y(175));
}

void CVellPage1::CreateControls() {
  setWindowTitle(QStringLiteral("Expression"));
  setAccessibleName(QStringLiteral("Expression"));
  const vell::DialogUnits units(font());
  setMinimumSize(TemplateSize(font()));

  // Created in template order, which is also the tab order.
  const auto place = [&](QWidget* control, int id, const QString& name, QRect rect) {
    control->setGeometry(rect);
    control->setAccessibleName(name);
    if (id != 0) controls_.insert(id, control);
  };
  const auto button = [&](int id, const QString& text, QRect rect) {
    auto* push = new QPushButton(text, this);
    push->setAutoDefault(false);
    place(push, id, Plain(text), rect);
    connect(push, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    return push;
  };
  const auto check = [&](int id, const QString& text, QRect rect) {
    auto* box = new QCheckBox(text, this);
    // The template's 8 units are too low for the box's own mark at some sizes.
    rect.setHeight(qMax(rect.height(), box->sizeHint().height()));
    place(box, id, Plain(text), rect);
    connect(box, &QCheckBox::clicked, this, [this, id] { OnCommand(id); });
    return box;
  };

  auto* variablesFrame = new QGroupBox(QStringLiteral("Variables (Optional)"), this);
  place(variablesFrame, 0, QStringLiteral("Variables (Optional)"), units.Rect(8, 3, 221, 76));
  variablesBox = new ByteTextEdit(this);
  place(variablesBox, ids::kVariablesBox, QStringLiteral("Variables (Optional)"), units.Rect(13, 12, 209, 62));

  expressionFrame = new QGroupBox(QStringLiteral("Expression"), this);
  place(expressionFrame, ids::kExpressionFrame, QStringLiteral("Expression"), units.Rect(8, 82, 221, 33));
  expressionBox = new QComboBox(this);
  expressionBox->setEditable(true);
  expressionBox->setInsertPolicy(QComboBox::NoInsert);
  expressionBox->setCompleter(nullptr);  // the typed text stays as typed
  expressionBox->setMaxVisibleItems(kMaxHistoryBeforeAdd + 1);
  QRect comboRect = units.Rect(13, 94, 209, 81);
  comboRect.setHeight(expressionBox->sizeHint().height());  // the template's height includes the list
  place(expressionBox, ids::kExpressionBox, QStringLiteral("Expression"), comboRect);

  button(ids::kEvaluate, QStringLiteral("&Evaluate"), units.Rect(190, 156, 39, 16));

  auto* resultFrame = new QGroupBox(QStringLiteral("Result"), this);
  place(resultFrame, 0, QStringLiteral("Result"), units.Rect(8, 119, 221, 33));
  resultBox = new QLineEdit(this);
  resultBox->setReadOnly(true);
  place(resultBox, ids::kResultBox, QStringLiteral("Result"), units.Rect(13, 132, 208, 13));

  button(ids::kNewVariables, QStringLiteral("&New"), units.Rect(8, 156, 30, 16));
  button(ids::kOpenVariables, QStringLiteral("&Open..."), units.Rect(38, 156, 30, 16));
  button(ids::kSaveVariables, QStringLiteral("&Save..."), units.Rect(68, 156, 30, 16));

  detailsBox = new ByteTextEdit(this);
  detailsBox->setReadOnly(true);
  detailsBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  place(detailsBox, ids::kDetailsBox, QStringLiteral("Details"), units.Rect(8, 85, 221, 67));
  detailsBox->hide();

  detailsCheck_ = check(ids::kDetailsCheck, QStringLiteral("&Details"), units.Rect(147, 160, 36, 8));
  tipsCheck_ = check(ids::kTipsCheck, QStringLiteral("&Tips"), units.Rect(108, 160, 29, 8));

  // The inner parts of the two input boxes get the mouse; they report it for the tips.
  expressionBox->lineEdit()->setMouseTracking(true);
  variablesBox->viewport()->setMouseTracking(true);
}

void CVellPage1::OnInitDialog() {
  inputFont = CourierFont(18, QFont::DemiBold);
  variablesBox->setFont(inputFont);
  expressionBox->setFont(inputFont);
  detailsBox->setFont(inputFont);
  variablesBox->SetMargins(5, 5);
  resultFont = CourierFont(20, QFont::Bold);
  resultBox->setFont(resultFont);

  LoadHistory();

  tipBalloon.SetSize(QSize(200, 125));
  tipBalloon.SetTailSide(vell::TipBalloon::TailSide::kTop);
  tipBalloon.CreateBalloon(this);
  tipBalloon.SetFollowCursor(true);
  tipBalloon.SetDefaultSeconds(6);
  tipBalloon.RegisterWindow(expressionBox, QString::fromLatin1(kExpressionTip), QStringLiteral("Expression"),
                            QColor(0, 0, 0), 6);
  tipBalloon.RegisterWindow(variablesBox, QString::fromLatin1(kVariablesTip), QStringLiteral("Variables"),
                            QColor(0, 0, 0), 6);
}

bool CVellPage1::OnCommand(int id) {
  switch (id) {
    case ids::kEvaluate:
      OnEvaluate();
      return true;
    case ids::kOpenVariables:
      OnOpenVariables();
      return true;
    case ids::kSaveVariables:
      OnSaveVariables();
      return true;
    case ids::kNewVariables:
      OnNewVariables();
      return true;
    case ids::kDetailsCheck:
      OnDetails();
      return true;
    case ids::kTipsCheck:
      OnTips();
      return true;
    default:
      return false;
  }
}

void CVellPage1::DoDataExchange(bool fromControls) {
  if (fromControls) {
    expressionText = vell::EncodeText(expressionBox->currentText());
    resultText = vell::EncodeText(resultBox->text());
    variablesText = variablesBox->Bytes();
    detailsText = detailsBox->Bytes();
    detailsOn = GetCheck(detailsCheck_);
    tipsOn = GetCheck(tipsCheck_);
    return;
  }
  // The first entry that begins with the text, in any letter case, is shown
  // in its place; the text itself only when no entry begins with it.
  const QString expression = vell::DecodeBytes(expressionText);
  int match = -1;
  for (int i = 0; i < expressionBox->count() && match < 0; ++i)
    if (expressionBox->itemText(i).startsWith(expression, Qt::CaseInsensitive)) match = i;
  if (match >= 0) {
    expressionBox->setCurrentIndex(match);
    expressionBox->setEditText(expressionBox->itemText(match));
  } else {
    expressionBox->setEditText(expression);
  }
  const QString result = vell::DecodeBytes(resultText);
  if (resultBox->text() != result) resultBox->setText(result);
  if (variablesBox->Bytes() != variablesText) variablesBox->SetBytes(variablesText);
  if (detailsBox->Bytes() != detailsText) detailsBox->SetBytes(detailsText);
  SetCheck(detailsCheck_, detailsOn);
  SetCheck(tipsCheck_, tipsOn);
}

void CVellPage1::OnEvaluate() {
  DoDataExchange(true);
  variablesText = std::string(vell::TrimWhiteSpace(variablesText));
  resultText = "E";
  detailsText.clear();
  const bool ok = variablesText.empty() ? engine_.EvaluateExpression(expressionText, resultText)
                                        : engine_.ResolveVariables(variablesText, expressionText, resultText);
  if (ok) {
    vell::TrimTrailingZeros(resultText);
    AddToHistory();
  } else {
    resultText = "E";
  }
  ShowReport();
  DoDataExchange(false);
}

void CVellPage1::ShowReport() {
  std::string report;
  engine_.WriteDetailsReport(report);
  detailsText.clear();
  detailsText.reserve(report.size() + report.size() / 16);
  for (const char c : report) {
    if (c == '\n') detailsText.push_back('\r');
    detailsText.push_back(c);
  }
}

void CVellPage1::LoadHistory() {
  // The page never stores more; a larger Count comes from elsewhere.
  const int count = std::clamp(ReadSettingInt(kExpressions, QStringLiteral("Count"), 0), 0, kMaxHistory);
  expressionBox->clear();
  for (int i = 1; i <= count; ++i) {
    const QString entry = ReadSettingString(kExpressions, QString::number(i), QString());
    if (!entry.isEmpty()) expressionBox->addItem(entry);
  }
}

void CVellPage1::AddToHistory() {
  const QString text =
      vell::DecodeBytes(vell::TrimWhiteSpace(vell::EncodeText(expressionBox->currentText())));
  if (text.isEmpty()) return;
  const int same = expressionBox->findText(text, Qt::MatchFixedString);
  if (same >= 0) {
    expressionBox->removeItem(same);
  } else if (expressionBox->count() > kMaxHistoryBeforeAdd) {
    expressionBox->removeItem(expressionBox->count() - 1);
  }
  expressionBox->insertItem(0, text);
  expressionBox->setCurrentIndex(expressionBox->findText(text, Qt::MatchFixedString));
  const int count = expressionBox->count();
  const SettingsBatch batch;  // the whole list in one write of the store
  for (int i = 0; i < count; ++i)
    WriteSettingString(kExpressions, QString::number(i + 1), expressionBox->itemText(i));
  WriteSettingInt(kExpressions, QStringLiteral("Count"), count);
}

QString CVellPage1::AskForFile(vell::FileChooser::Mode mode) {
  QString initial = ReadSettingString(kPath, QStringLiteral("TXT"), QString());
  if (initial.isEmpty()) initial = QDir::homePath() + QStringLiteral("/*.txt");
  vell::FileChooser::Request request;
  request.mode = mode;
  request.initialName = initial;
  request.filter = QStringLiteral("TXT Files (*.txt);;All Files (*)");
  request.defaultExtension = QStringLiteral("TXT");
  const QString path = chooser_->Choose(request);
  if (!path.isEmpty()) WriteSettingString(kPath, QStringLiteral("TXT"), RememberedPattern(path));
  return path;
}

void CVellPage1::OnOpenVariables() {
  const QString path = AskForFile(vell::FileChooser::Mode::kOpen);
  if (path.isEmpty()) return;
  const vell::LoadedVariables file = vell::LoadVariablesFile(path);
  if (file.loaded) variablesBox->SetBytes(file.bytes);
  if (!file.message.isEmpty()) vell::platform::ShowAppMessage(file.message);
}

void CVellPage1::OnSaveVariables() {
  const QString path = AskForFile(vell::FileChooser::Mode::kSave);
  if (path.isEmpty()) return;
  DoDataExchange(true);
  const QString failure = vell::SaveVariablesFile(path, variablesText);
  if (!failure.isEmpty()) vell::platform::ShowAppMessage(failure);
}

void CVellPage1::OnNewVariables() { variablesBox->SetBytes(std::string()); }

void CVellPage1::OnDetails() {
  DoDataExchange(true);
  const bool details = detailsOn != 0;
  detailsBox->setVisible(details);
  expressionBox->setVisible(!details);
  resultBox->setVisible(!details);
  expressionFrame->setVisible(!details);
}

void CVellPage1::OnTips() {
  DoDataExchange(true);
  WriteSettingInt(kSettings, QStringLiteral("Tips"), tipsOn);
}

void CVellPage1::SetFileChooser(vell::FileChooser* chooser) { chooser_ = chooser ? chooser : &dialogChooser_; }

QWidget* CVellPage1::TipTarget(QObject* watched) const {
  if (watched == expressionBox->lineEdit()) return expressionBox;
  if (watched == variablesBox->viewport()) return variablesBox;
  return qobject_cast<QWidget*>(watched);
}

bool CVellPage1::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget != this && !isAncestorOf(widget)) return false;
  if (tipBalloon.Window() && expressionBox->isVisible() && tipsOn != 0)
    tipBalloon.FilterEvent(TipTarget(watched), event);
  return false;
}
