// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AboutBox.h"

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
#include "install/FileUtilities.h"
#include "ui/OpenAddress.h"
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

AboutBox::AboutBox(QWidget* parent, std::string executablePath, QString shortDateFormat)
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
  LoadStartingState();
}

void AboutBox::CreateControls() {
  infoGroup_ = new QGroupBox(this);
  infoGroup_->setObjectName(QStringLiteral("GroupBox1"));
  infoGroup_->setGeometry(0, 0, kClientSize.width(), kClientSize.height());

  // Created before the picture, so that the picture lies above its frame.
  bevel_ = new QFrame(infoGroup_);
  bevel_->setObjectName(QStringLiteral("Bevel1"));
  bevel_->setGeometry(15, 20, 130, 165);
  bevel_->setFrameStyle(QFrame::Box | QFrame::Sunken);

  picture_ = new QLabel(infoGroup_);
  picture_->setObjectName(QStringLiteral("Image1"));
  picture_->setGeometry(30, 35, 100, 133);
  picture_->setPixmap(QPixmap(QString::fromLatin1(kPicture)));

  nameLabel_ = MakeStaticText(infoGroup_, "ProgNameDisp", {154, 22, 230, 23},
                              MakeFont(kComic, 16, kBold | kUnderline), Qt::AlignLeft);
  versionLabel_ = MakeStaticText(infoGroup_, "VersionDisp", {154, 50, 160, 20},
                                 MakeFont(kComic, 13, kItalic), Qt::AlignRight);
  SetTextColour(versionLabel_, kTeal);
  dateLabel_ = MakeStaticText(infoGroup_, "ProgDateLabel", {319, 50, 69, 22},
                              MakeFont(kComic, 13, kItalic), Qt::AlignHCenter);
  SetTextColour(dateLabel_, kTeal);
  authorLabel_ = MakeStaticText(infoGroup_, "AuteurNameDisp", {154, 78, 230, 23},
                                MakeFont(kComic, 13, kBold | kItalic), Qt::AlignRight);

  mailLabel_ = MakeStaticText(infoGroup_, "MailDisp", {154, 107, 230, 17},
                              MakeFont(kSansSerif, 11, kBold), Qt::AlignLeft);
  SetTextColour(mailLabel_, kTeal);
  mailLabel_->setToolTip(QStringLiteral("E-Mail"));
  mailLabel_->setCursor(Qt::PointingHandCursor);
  mailLabel_->installEventFilter(this);

  webPageLabel_ = MakeStaticText(infoGroup_, "WebPageDisp", {154, 127, 230, 17},
                                 MakeFont(kSansSerif, 11, kBold), Qt::AlignLeft);
  webPageLabel_->setToolTip(QStringLiteral("Web"));
  webPageLabel_->installEventFilter(this);

  okButton_ = new QPushButton(QStringLiteral("OK"), infoGroup_);
  okButton_->setObjectName(QStringLiteral("OKButton"));
  okButton_->setGeometry(230, 152, 80, 25);
  okButton_->setDefault(true);
  okButton_->setAutoDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

  bugReportButton_ = new QToolButton(infoGroup_);
  bugReportButton_->setObjectName(QStringLiteral("BugReportBtn"));
  bugReportButton_->setGeometry(328, 178, 63, 17);
  bugReportButton_->setText(QStringLiteral("Bug Report!"));
  bugReportButton_->setFont(MakeFont(kArial, 11));
  SetTextColour(bugReportButton_, kRed);
  bugReportButton_->setAutoRaise(true);
  bugReportButton_->setFocusPolicy(Qt::NoFocus);
  connect(bugReportButton_, &QToolButton::clicked, this, &AboutBox::OpenBugReports);

  okButton_->setFocus();
}

void AboutBox::LoadStartingState() {
  nameLabel_->setText(FromAnsi(kProgramName));
  versionLabel_->setText(FromAnsi(kVersion));
  authorLabel_->setText(FromAnsi(kCopyrightNotice));
  mailLabel_->setText(FromAnsi(kEmailAddress));
  webPageLabel_->setText(FromAnsi(kWebPage));

  // The date of the executable, once: it is not read again at later openings.
  QString date;
  const std::optional<FileDateTime> modified = FileModificationDate(executablePath_);
  const QDate day = modified ? QDate(modified->year, modified->month, modified->day) : QDate();
  if (day.isValid()) date = QLocale::system().toString(day, shortDateFormat_);
  dateLabel_->setText(date);
}

void AboutBox::WriteMail() {
  OpenAddress("mailto:" + ToAnsi(mailLabel_->text()));
}

void AboutBox::OpenWebPage() {
  OpenAddress(ToAnsi(webPageLabel_->text()));
}

void AboutBox::OpenBugReports() {
  OpenAddress(std::string(kBugReportPage));
}

void AboutBox::setVisible(bool visible) {
  if (visible && !isVisible()) {
    CentreOnScreen();
    okButton_->setFocus();
  }
  QDialog::setVisible(visible);
}

void AboutBox::CentreOnScreen() {
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

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == mailLabel_) {
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
          const bool click = mailPressed_ && mailLabel_->rect().contains(at);
          mailPressed_ = false;
          if (click) WriteMail();
        }
        return true;
      default:
        break;
    }
  } else if (watched == webPageLabel_ && event->type() == QEvent::MouseButtonDblClick &&
             IsLeft(event)) {
    OpenWebPage();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tavrilo::ui
