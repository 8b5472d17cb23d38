// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Unit2.h"

#include <QColor>
#include <QDate>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QToolButton>

#include <mutex>
#include <optional>
#include <utility>

#include "Branding.h"
#include "install/FmxUtils.h"
#include "ui/FmxShellOpen.h"
#include "ui/TextCodec.h"

// The pictures live in a static library, whose registration the linker would otherwise
// drop; they are registered before the first dialog uses them. (Outside any namespace:
// the registration function is a global one.)
static void RegisterResources() {
  static std::once_flag once;
  std::call_once(once, [] { Q_INIT_RESOURCE(resources); });
}

namespace tavrilo::ui {

namespace {

const QStringList kSansSerif = {"MS Sans Serif", "Liberation Sans", "DejaVu Sans"};
const QStringList kComic = {"Comic Sans MS", "Comic Neue", "DejaVu Sans"};
const QStringList kArial = {"Arial", "Liberation Sans", "DejaVu Sans"};

constexpr QColor kTeal(0, 128, 128);
constexpr QColor kRed(255, 0, 0);

constexpr char kPicture[] = ":/tavrilo/images/about.png";

enum Style { kPlain = 0, kBold = 1, kItalic = 2, kUnderline = 4 };

QFont MakeFont(const QStringList& families, int pixelSize, int style = kPlain) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixelSize);
  font.setBold((style & kBold) != 0);
  font.setItalic((style & kItalic) != 0);
  font.setUnderline((style & kUnderline) != 0);
  return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::ButtonText, colour);
  widget->setPalette(palette);
}

// A static text of fixed size: its text never resizes it.
QLabel* MakeStaticText(QWidget* parent, const char* name, QRect geometry, const QFont& font,
                       Qt::Alignment alignment) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(geometry);
  label->setFont(font);
  label->setAlignment(alignment | Qt::AlignTop);
  label->setWordWrap(false);
  label->setTextFormat(Qt::PlainText);
  return label;
}

bool IsLeft(QEvent* event) {
  return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent, std::string executablePath, QString shortDateFormat)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      executablePath_(std::move(executablePath)),
      shortDateFormat_(std::move(shortDateFormat)) {
  RegisterResources();
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(FromAnsi("A Propos de..."));
  setModal(true);
  setFont(MakeFont(kSansSerif, 11));
  setFixedSize(kClientSize);
  CreateControls();
  FormCreate();
}

void TAboutBox::CreateControls() {
  groupBox1_ = new QGroupBox(this);
  groupBox1_->setObjectName(QStringLiteral("GroupBox1"));
  groupBox1_->setGeometry(0, 0, kClientSize.width(), kClientSize.height());

  // Created before the picture, so that the picture lies above its frame.
  bevel1_ = new QFrame(groupBox1_);
  bevel1_->setObjectName(QStringLiteral("Bevel1"));
  bevel1_->setGeometry(15, 20, 130, 165);
  bevel1_->setFrameStyle(QFrame::Box | QFrame::Sunken);

  image1_ = new QLabel(groupBox1_);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setGeometry(30, 35, 100, 133);
  image1_->setPixmap(QPixmap(QString::fromLatin1(kPicture)));

  progNameDisp_ = MakeStaticText(groupBox1_, "ProgNameDisp", {154, 22, 230, 23},
                                 MakeFont(kComic, 16, kBold | kUnderline), Qt::AlignLeft);
  versionDisp_ = MakeStaticText(groupBox1_, "VersionDisp", {154, 50, 160, 20},
                                MakeFont(kComic, 13, kItalic), Qt::AlignRight);
  SetTextColour(versionDisp_, kTeal);
  progDateLabel_ = MakeStaticText(groupBox1_, "ProgDateLabel", {319, 50, 69, 22},
                                  MakeFont(kComic, 13, kItalic), Qt::AlignHCenter);
  SetTextColour(progDateLabel_, kTeal);
  auteurNameDisp_ = MakeStaticText(groupBox1_, "AuteurNameDisp", {154, 78, 230, 23},
                                   MakeFont(kComic, 13, kBold | kItalic), Qt::AlignRight);

  mailDisp_ = MakeStaticText(groupBox1_, "MailDisp", {154, 107, 230, 17},
                             MakeFont(kSansSerif, 11, kBold), Qt::AlignLeft);
  SetTextColour(mailDisp_, kTeal);
  mailDisp_->setToolTip(QStringLiteral("E-Mail"));
  mailDisp_->setCursor(Qt::PointingHandCursor);
  mailDisp_->installEventFilter(this);

  webPageDisp_ = MakeStaticText(groupBox1_, "WebPageDisp", {154, 127, 230, 17},
                                MakeFont(kSansSerif, 11, kBold), Qt::AlignLeft);
  webPageDisp_->setToolTip(QStringLiteral("Web"));
  webPageDisp_->installEventFilter(this);

  okButton_ = new QPushButton(QStringLiteral("OK"), groupBox1_);
  okButton_->setObjectName(QStringLiteral("OKButton"));
  okButton_->setGeometry(230, 152, 80, 25);
  okButton_->setDefault(true);
  okButton_->setAutoDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

  bugReportBtn_ = new QToolButton(groupBox1_);
  bugReportBtn_->setObjectName(QStringLiteral("BugReportBtn"));
  bugReportBtn_->setGeometry(328, 178, 63, 17);
  bugReportBtn_->setText(QStringLiteral("Bug Report!"));
  bugReportBtn_->setFont(MakeFont(kArial, 11));
  SetTextColour(bugReportBtn_, kRed);
  bugReportBtn_->setAutoRaise(true);
  bugReportBtn_->setFocusPolicy(Qt::NoFocus);
  connect(bugReportBtn_, &QToolButton::clicked, this, &TAboutBox::BugReportBtnClick);

  okButton_->setFocus();
}

void TAboutBox::FormCreate() {
  progNameDisp_->setText(FromAnsi(kProgramName));
  versionDisp_->setText(FromAnsi(kVersion));
  auteurNameDisp_->setText(FromAnsi(kCopyrightNotice));
  mailDisp_->setText(FromAnsi(kEmailAddress));
  webPageDisp_->setText(FromAnsi(kWebPage));

  // The date of the executable, once: it is not read again at later openings.
  QString date;
  const std::optional<FileDateTime> modified = FileModificationDate(executablePath_);
  const QDate day = modified ? QDate(modified->year, modified->month, modified->day) : QDate();
  if (day.isValid()) date = QLocale::system().toString(day, shortDateFormat_);
  progDateLabel_->setText(date);
}

void TAboutBox::MailDispClick() {
  ShellOpen("mailto:" + ToAnsi(mailDisp_->text()), "", "", kSwShowNormal);
}

void TAboutBox::WebPageDispDblClick() {
  ShellOpen(ToAnsi(webPageDisp_->text()), "", "", kSwShowNormal);
}

void TAboutBox::BugReportBtnClick() {
  ShellOpen(std::string(kBugReportPage), "", "", kSwShowNormal);
}

void TAboutBox::setVisible(bool visible) {
  if (visible && !isVisible()) {
    CentreOnScreen();
    okButton_->setFocus();
  }
  QDialog::setVisible(visible);
}

void TAboutBox::CentreOnScreen() {
  QScreen* screen =
      parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // The window is made first, so that its frame is known where the platform tells it.
  if (windowHandle() == nullptr) create();
  const QSize outer = frameGeometry().size();
  const QRect placed =
      QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, outer, screen->availableGeometry());
  move(placed.topLeft());
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == mailDisp_) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
        if (IsLeft(event)) mailPressed_ = true;
        return true;
      case QEvent::MouseButtonDblClick:
        // The second press of a double click does not make a second click.
        mailPressed_ = false;
        return true;
      case QEvent::MouseButtonRelease:
        if (IsLeft(event)) {
          const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
          const bool click = mailPressed_ && mailDisp_->rect().contains(at);
          mailPressed_ = false;
          if (click) MailDispClick();
        }
        return true;
      default:
        break;
    }
  } else if (watched == webPageDisp_ && event->type() == QEvent::MouseButtonDblClick &&
             IsLeft(event)) {
    WebPageDispDblClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tavrilo::ui
