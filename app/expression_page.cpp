#include "app/expression_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <optional>

#include "app/app_texts.h"
#include "app/byte_text.h"
#include "app/byte_text_edit.h"
#include "app/command_ids.h"
#include "app/dialog_units.h"
#include "app/engine_thread.h"
#include "app/line_notes.h"
#include "app/settings_store.h"
#include "app/variables_file.h"
#include "platform/message_box.h"
#include "vell_engine.h"

namespace vell {

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kExpressions = QStringLiteral("Expressions");
const QString kPath = QStringLiteral("Path");
constexpr int kMaxHistoryBeforeAdd = 20;  // one more is added: 21 at most
constexpr int kMaxHistory = kMaxHistoryBeforeAdd + 1;
constexpr int kLiveDelayMs = 300;
constexpr int kRetryMs = 50;
constexpr size_t kLargeFileBytes = size_t{256} << 10;

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
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
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

ExpressionPage::ExpressionPage(QWidget* parent) : QWidget(parent), dialogChooser_(this) {
  CreateControls();
  SetCheck(tipsCheck_, ReadSettingInt(kSettings, QStringLiteral("Tips"), 1));
  OnInitDialog();
  qApp->installEventFilter(this);
}

ExpressionPage::~ExpressionPage() {
  // The column watches the Variables box's events and signals: it goes
  // before the box starts coming apart.
  disconnect(&liveSheet_, nullptr, this, nullptr);
  delete lineNotes_;
}

QSize ExpressionPage::TemplateSize(const QFont& dialogFont) {
  const DialogUnits units(dialogFont);
  return QSize(units.X(237), units.Y(175));
}

void ExpressionPage::CreateControls() {
  setWindowTitle(texts::Text(texts::kExpressionPage));
  setAccessibleName(texts::Text(texts::kExpressionPage));
  const DialogUnits units(font());
  setMinimumSize(TemplateSize(font()));

  // Created in template order, which is also the tab order.
  const auto place = [&](QWidget* control, int id, const QString& name, QRect rect, Anchor anchor) {
    control->setGeometry(rect);
    control->setAccessibleName(name);
    if (id != 0) controls_.insert(id, control);
    placements_.append({control, rect, anchor});
  };
  const auto button = [&](int id, const QString& text, QRect rect, Anchor anchor) {
    auto* push = new QPushButton(text, this);
    push->setAutoDefault(false);
    place(push, id, Plain(text), rect, anchor);
    connect(push, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    return push;
  };
  const auto check = [&](int id, const QString& text, QRect rect) {
    auto* box = new QCheckBox(text, this);
    // The template's 8 units are too low for the box's own mark at some sizes.
    rect.setHeight(qMax(rect.height(), box->sizeHint().height()));
    place(box, id, Plain(text), rect, Anchor::kBottomRight);
    connect(box, &QCheckBox::clicked, this, [this, id] { OnCommand(id); });
    return box;
  };

  auto* variablesFrame = new QGroupBox(texts::Text(texts::kVariablesFrame), this);
  place(variablesFrame, 0, texts::Text(texts::kVariablesFrame), units.Rect(8, 3, 221, 76), Anchor::kVariables);
  variablesBox_ = new ByteTextEdit(this);
  place(variablesBox_, ids::kVariablesBox, texts::Text(texts::kVariablesFrame), units.Rect(13, 12, 209, 62),
        Anchor::kVariables);

  expressionFrame_ = new QGroupBox(texts::Text(texts::kExpressionPage), this);
  place(expressionFrame_, ids::kExpressionFrame, texts::Text(texts::kExpressionPage), units.Rect(8, 82, 221, 33),
        Anchor::kBelow);
  expressionBox_ = new QComboBox(this);
  expressionBox_->setEditable(true);
  expressionBox_->setInsertPolicy(QComboBox::NoInsert);
  expressionBox_->setCompleter(nullptr);  // the typed text stays as typed
  expressionBox_->setMaxVisibleItems(kMaxHistoryBeforeAdd + 1);
  QRect comboRect = units.Rect(13, 94, 209, 81);
  comboRect.setHeight(expressionBox_->sizeHint().height());  // the template's height includes the list
  place(expressionBox_, ids::kExpressionBox, texts::Text(texts::kExpressionPage), comboRect, Anchor::kBelow);

  button(ids::kEvaluate, texts::Text(texts::kEvaluate), units.Rect(190, 156, 39, 16), Anchor::kBottomRight);

  auto* resultFrame = new QGroupBox(texts::Text(texts::kResult), this);
  place(resultFrame, 0, texts::Text(texts::kResult), units.Rect(8, 119, 221, 33), Anchor::kBelow);
  resultBox_ = new QLineEdit(this);
  resultBox_->setReadOnly(true);
  place(resultBox_, ids::kResultBox, texts::Text(texts::kResult), units.Rect(13, 132, 208, 13), Anchor::kBelow);
  reasonLabel_ = new QLabel(this);
  QRect reasonRect = units.Rect(13, 145, 208, 7);  // the frame's room below the box
  reasonRect.setHeight(qMax(reasonRect.height(), reasonLabel_->fontMetrics().height()));
  place(reasonLabel_, 0, texts::Text(texts::kReason), reasonRect, Anchor::kBelow);

  button(ids::kNewVariables, texts::Text(texts::kNew), units.Rect(8, 156, 30, 16), Anchor::kBottomLeft);
  button(ids::kOpenVariables, texts::Text(texts::kOpen), units.Rect(38, 156, 30, 16), Anchor::kBottomLeft);
  button(ids::kSaveVariables, texts::Text(texts::kSave), units.Rect(68, 156, 30, 16), Anchor::kBottomLeft);

  detailsBox_ = new ByteTextEdit(this);
  detailsBox_->setReadOnly(true);
  detailsBox_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  place(detailsBox_, ids::kDetailsBox, texts::Text(texts::kDetailsBox), units.Rect(8, 85, 221, 67), Anchor::kDetails);
  detailsBox_->hide();

  detailsCheck_ = check(ids::kDetailsCheck, texts::Text(texts::kDetails), units.Rect(147, 160, 36, 8));
  tipsCheck_ = check(ids::kTipsCheck, texts::Text(texts::kTips), units.Rect(108, 160, 29, 8));

  // Ctrl+Z anywhere but in a box with its own undo takes back New.
  auto* undo = new QShortcut(QKeySequence::Undo, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
  connect(undo, &QShortcut::activated, variablesBox_, &QPlainTextEdit::undo);

  lineNotes_ = new LineNotes(variablesBox_);
  lineNotes_->setAccessibleName(texts::Text(texts::kLineValues));
  liveDelay_.setSingleShot(true);
  liveDelay_.setInterval(kLiveDelayMs);
  connect(variablesBox_->document(), &QTextDocument::contentsChanged, &liveDelay_, qOverload<>(&QTimer::start));
  connect(&liveDelay_, &QTimer::timeout, this, [this] { liveSheet_.Request(variablesBox_->Bytes()); });
  connect(&liveSheet_, &LiveSheet::resolved, this, &ExpressionPage::ShowLiveValues);

  // The inner parts of the two input boxes get the mouse; they report it for the tips.
  expressionBox_->lineEdit()->setMouseTracking(true);
  variablesBox_->viewport()->setMouseTracking(true);
}

void ExpressionPage::OnInitDialog() {
  const QFont inputFont = CourierFont(18, QFont::DemiBold);
  variablesBox_->setFont(inputFont);
  expressionBox_->setFont(inputFont);
  detailsBox_->setFont(inputFont);
  variablesBox_->SetMargins(5, 5);
  resultBox_->setFont(CourierFont(20, QFont::Bold));

  LoadHistory();
  // An empty expression begins every entry: the newest one is shown.
  ShowExpression(QString());

  tipBalloon_.SetSize(QSize(200, 125));
  tipBalloon_.SetTailSide(TipBalloon::TailSide::kTop);
  tipBalloon_.CreateBalloon(this);
  tipBalloon_.SetFollowCursor(true);
  tipBalloon_.SetDefaultSeconds(6);
  tipBalloon_.RegisterWindow(expressionBox_, texts::Text(texts::kExpressionTip),
                             texts::Text(texts::kExpressionTipTitle), QColor(0, 0, 0), 6);
  tipBalloon_.RegisterWindow(variablesBox_, texts::Text(texts::kVariablesTip), texts::Text(texts::kVariablesTipTitle),
                             QColor(0, 0, 0), 6);
}

bool ExpressionPage::OnCommand(int id) {
  using Handler = void (ExpressionPage::*)();
  static constexpr struct {
    int id;
    Handler handler;
  } kCommands[] = {
      {ids::kEvaluate, &ExpressionPage::OnEvaluate},           {ids::kOpenVariables, &ExpressionPage::OnOpenVariables},
      {ids::kSaveVariables, &ExpressionPage::OnSaveVariables}, {ids::kNewVariables, &ExpressionPage::OnNewVariables},
      {ids::kDetailsCheck, &ExpressionPage::OnDetails},        {ids::kTipsCheck, &ExpressionPage::OnTips}};
  for (const auto& command : kCommands) {
    if (command.id != id) continue;
    if (evaluating_) {
      // The windows keep painting during a long evaluation; a command that
      // arrives then waits for its end.
      QTimer::singleShot(kRetryMs, this, [this, id] { OnCommand(id); });
    } else {
      (this->*command.handler)();
    }
    return true;
  }
  return false;
}

void ExpressionPage::OnEvaluate() {
  // Typed in the sheet's encoding, so that names and texts of an old sheet
  // match; in UTF-8 where that would not read back as typed.
  const QString typed = expressionBox_->currentText();
  std::string expression = EncodeText(typed, variablesBox_->encoding());
  if (DecodeBytes(expression) != typed) expression = EncodeText(typed);
  const std::string variables(TrimWhiteSpace(variablesBox_->Bytes()));
  std::string result = "E";
  bool ok = false;
  evaluating_ = true;
  RunWithBusyCursor([&] {
    ok = variables.empty() ? engine_.EvaluateExpression(expression, result)
                           : engine_.ResolveVariables(variables, expression, result);
  });
  evaluating_ = false;
  if (ok) {
    TrimTrailingZeros(result);
    AddToHistory();
  } else {
    result = "E";
  }
  ShowOutcome(expression, variables, result);
}

void ExpressionPage::ShowOutcome(const std::string& expression, const std::string& variables,
                                 const std::string& result) {
  ShowExpression(DecodeBytes(expression));
  const QString shown = DecodeBytes(result);
  if (resultBox_->text() != shown) resultBox_->setText(shown);
  // A named label is read out by its name: the reason is its description too.
  const QString reason = result == "E" ? DecodeBytes(engine_.LastFailure()) : QString();
  reasonLabel_->setText(reason);
  reasonLabel_->setAccessibleDescription(reason);
  // The sheet is shown as it was evaluated: without its outer blanks.
  if (variablesBox_->Bytes() != variables) variablesBox_->SetBytes(variables);
  std::string report;
  engine_.WriteDetailsReport(report);
  std::string details;
  details.reserve(report.size() + report.size() / 16);
  for (const char c : report) {
    if (c == '\n') details.push_back('\r');
    details.push_back(c);
  }
  if (detailsBox_->Bytes() != details) detailsBox_->SetBytes(details);
}

void ExpressionPage::ShowExpression(const QString& expression) {
  // The first entry that begins with the text, in any letter case, is shown
  // in its place; the text itself only when no entry begins with it.
  int match = -1;
  for (int i = 0; i < expressionBox_->count() && match < 0; ++i)
    if (expressionBox_->itemText(i).startsWith(expression, Qt::CaseInsensitive)) match = i;
  if (match >= 0) {
    expressionBox_->setCurrentIndex(match);
    expressionBox_->setEditText(expressionBox_->itemText(match));
  } else {
    expressionBox_->setEditText(expression);
  }
}

void ExpressionPage::LoadHistory() {
  // The page never stores more; a larger Count comes from elsewhere.
  const int count = std::clamp(ReadSettingInt(kExpressions, QStringLiteral("Count"), 0), 0, kMaxHistory);
  expressionBox_->clear();
  for (int i = 1; i <= count; ++i) {
    const QString entry = ReadSettingString(kExpressions, QString::number(i), QString());
    if (!entry.isEmpty()) expressionBox_->addItem(entry);
  }
}

void ExpressionPage::AddToHistory() {
  const QString text = DecodeBytes(TrimWhiteSpace(EncodeText(expressionBox_->currentText())));
  if (text.isEmpty()) return;
  const int same = expressionBox_->findText(text, Qt::MatchFixedString);
  if (same >= 0) {
    expressionBox_->removeItem(same);
  } else if (expressionBox_->count() > kMaxHistoryBeforeAdd) {
    expressionBox_->removeItem(expressionBox_->count() - 1);
  }
  expressionBox_->insertItem(0, text);
  expressionBox_->setCurrentIndex(expressionBox_->findText(text, Qt::MatchFixedString));
  const int count = expressionBox_->count();
  const SettingsBatch batch;  // the whole list in one write of the store
  for (int i = 0; i < count; ++i) WriteSettingString(kExpressions, QString::number(i + 1), expressionBox_->itemText(i));
  WriteSettingInt(kExpressions, QStringLiteral("Count"), count);
}

QString ExpressionPage::AskForFile(FileChooser::Mode mode) {
  QString initial = ReadSettingString(kPath, QStringLiteral("TXT"), QString());
  if (initial.isEmpty()) initial = QDir::homePath() + QStringLiteral("/*.txt");
  FileChooser::Request request;
  request.mode = mode;
  request.initialName = initial;
  request.filter = texts::Text(texts::kFileFilter);
  request.defaultExtension = QStringLiteral("TXT");
  QString path = chooser_->Choose(request);
  if (!path.isEmpty()) WriteSettingString(kPath, QStringLiteral("TXT"), RememberedPattern(path));
  return path;
}

void ExpressionPage::OnOpenVariables() {
  const QString path = AskForFile(FileChooser::Mode::kOpen);
  if (path.isEmpty()) return;
  const LoadedVariables file = LoadVariablesFile(path);
  if (file.loaded) {
    // Laying out a long sheet takes the box a while.
    std::optional<BusyCursor> busy;
    if (file.bytes.size() >= kLargeFileBytes) busy.emplace();
    variablesBox_->SetBytes(file.bytes);
  }
  if (!file.message.isEmpty()) platform::ShowAppMessage(file.message);
}

void ExpressionPage::OnSaveVariables() {
  const QString path = AskForFile(FileChooser::Mode::kSave);
  if (path.isEmpty()) return;
  const QString failure = SaveVariablesFile(path, variablesBox_->Bytes());
  if (!failure.isEmpty()) platform::ShowAppMessage(failure);
}

void ExpressionPage::OnNewVariables() {
  // Emptied as if by typing, so that Undo brings the sheet back.
  QTextCursor all(variablesBox_->document());
  all.select(QTextCursor::Document);
  all.removeSelectedText();
}

void ExpressionPage::OnDetails() {
  const bool details = GetCheck(detailsCheck_) != 0;
  detailsBox_->setVisible(details);
  expressionBox_->setVisible(!details);
  resultBox_->setVisible(!details);
  reasonLabel_->setVisible(!details);
  expressionFrame_->setVisible(!details);
  LayOut();  // the two views share the extra room differently
}

void ExpressionPage::OnTips() { WriteSettingInt(kSettings, QStringLiteral("Tips"), GetCheck(tipsCheck_)); }

void ExpressionPage::SetFileChooser(FileChooser* chooser) { chooser_ = chooser ? chooser : &dialogChooser_; }

QWidget* ExpressionPage::TipTarget(QObject* watched) const {
  if (watched == expressionBox_->lineEdit()) return expressionBox_;
  if (watched == variablesBox_->viewport() || watched == lineNotes_) return variablesBox_;
  return qobject_cast<QWidget*>(watched);
}

void ExpressionPage::ShowLiveValues() {
  QList<LineNotes::Note> notes;
  const std::vector<LiveLine>& lines = liveSheet_.lines();
  notes.reserve(static_cast<qsizetype>(lines.size()));
  for (const LiveLine& line : lines) {
    QString text = DecodeBytes(line.text);
    if (line.failed)
      text = text.isEmpty() ? texts::Text(texts::kLineFailed) : texts::Text(texts::kLineFailedBecause).arg(text);
    notes.append({line.line, text, line.failed});
  }
  lineNotes_->SetNotes(std::move(notes));
}

void ExpressionPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void ExpressionPage::LayOut() {
  // Room beyond the template goes to the Variables box; in the Details view
  // the Details box takes half of the height.
  // Measured on the window: inside a tab widget the page is a little larger
  // than its template even at the window's least size, and that slack is
  // not the user's.
  const QWidget* top = window();
  const QSize extra = (top->size() - top->minimumSize()).expandedTo(QSize(0, 0));
  const int dx = extra.width();
  const int dy = extra.height();
  const int variablesShare = detailsBox_->isHidden() ? dy : dy / 2;
  for (const Placement& placement : std::as_const(placements_)) {
    QRect rect = placement.rect;
    switch (placement.anchor) {
      case Anchor::kVariables: rect.adjust(0, 0, dx, variablesShare); break;
      case Anchor::kBelow: rect.adjust(0, dy, dx, dy); break;
      case Anchor::kBottomLeft: rect.translate(0, dy); break;
      case Anchor::kBottomRight: rect.translate(dx, dy); break;
      case Anchor::kDetails: rect.adjust(0, variablesShare, dx, dy); break;
    }
    placement.control->setGeometry(rect);
  }
}

bool ExpressionPage::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget != this && !isAncestorOf(widget)) return false;
  if (tipBalloon_.Window() && expressionBox_->isVisible() && GetCheck(tipsCheck_) != 0)
    tipBalloon_.FilterEvent(TipTarget(watched), event);
  return false;
}

}  // namespace vell
