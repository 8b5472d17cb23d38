// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: its layout, its texts, the executable's date, its links and how it opens
// and closes.
#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <string>
#include <vector>

#include "Branding.h"
#include "TestSupport.h"
#include "install/FileUtilities.h"
#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "ui/OpenAddress.h"
#include "ui/ShortDateFormat.h"
#include "ui/TextCodec.h"

using tavrilo::ui::AboutBox;
using tavrilo::ui::FromAnsi;

namespace {

std::vector<std::string>& Opened() {
  static std::vector<std::string> opened;
  return opened;
}

// A file whose last write is at `when` (local time).
std::string FileDatedAt(const tavrilo::testing::TempDir& dir, const QDateTime& when) {
  const std::string path = dir / "tavrilo";
  tavrilo::testing::WriteFile(path, "program");
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadWrite) ||
      !file.setFileTime(when, QFileDevice::FileModificationTime)) {
    qFatal("cannot date %s", path.c_str());
  }
  return path;
}

template <typename T>
T* Find(const AboutBox& box, const char* name) {
  T* widget = box.findChild<T*>(QString::fromLatin1(name));
  if (widget == nullptr) qFatal("no %s named %s", T::staticMetaObject.className(), name);
  return widget;
}

const QColor kTeal(0, 128, 128);
const QColor kRed(255, 0, 0);

}  // namespace

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    tavrilo::SetAddressOpenerForTesting(
        [](const std::string& target) { Opened().push_back(target); });
  }
  void init() { Opened().clear(); }

  void windowIsAFixedDialogWithACloseBoxOnly() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    QCOMPARE(box.windowTitle(), QStringLiteral("A Propos de..."));
    QVERIFY(box.isModal());
    QVERIFY(box.isHidden());
    QCOMPARE(box.minimumSize(), QSize(395, 201));
    QCOMPARE(box.maximumSize(), QSize(395, 201));
    const Qt::WindowFlags flags = box.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(box.font().families().value(0), QStringLiteral("MS Sans Serif"));
    QCOMPARE(box.font().pixelSize(), 11);

    auto* group = Find<QGroupBox>(box, "GroupBox1");
    QCOMPARE(group->geometry(), QRect(0, 0, 395, 201));
    QVERIFY(group->title().isEmpty());
  }

  void controlsSitAtTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Bevel1") << "Bevel1" << QRect(15, 20, 130, 165);
    QTest::newRow("Image1") << "Image1" << QRect(30, 35, 100, 133);
    QTest::newRow("ProgNameDisp") << "ProgNameDisp" << QRect(154, 22, 230, 23);
    QTest::newRow("VersionDisp") << "VersionDisp" << QRect(154, 50, 160, 20);
    QTest::newRow("ProgDateLabel") << "ProgDateLabel" << QRect(319, 50, 69, 22);
    QTest::newRow("AuteurNameDisp") << "AuteurNameDisp" << QRect(154, 78, 230, 23);
    QTest::newRow("MailDisp") << "MailDisp" << QRect(154, 107, 230, 17);
    QTest::newRow("WebPageDisp") << "WebPageDisp" << QRect(154, 127, 230, 17);
    QTest::newRow("OKButton") << "OKButton" << QRect(230, 152, 80, 25);
    QTest::newRow("BugReportBtn") << "BugReportBtn" << QRect(328, 178, 63, 17);
  }
  // Measured after the texts are set: no text resizes its control.
  void controlsSitAtTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    auto* group = Find<QGroupBox>(box, "GroupBox1");
    QWidget* control = group->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget(), group);
    QCOMPARE(control->geometry(), geometry);
  }

  void staticTextsHaveTheirLooks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("teal");
    QTest::addColumn<int>("alignment");
    const QString comic = QStringLiteral("Comic Sans MS");
    const QString sans = QStringLiteral("MS Sans Serif");
    QTest::newRow("ProgNameDisp") << "ProgNameDisp" << comic << 16 << true << false << true << false
                                  << int(Qt::AlignLeft);
    QTest::newRow("VersionDisp") << "VersionDisp" << comic << 13 << false << true << false << true
                                 << int(Qt::AlignRight);
    QTest::newRow("ProgDateLabel") << "ProgDateLabel" << comic << 13 << false << true << false
                                   << true << int(Qt::AlignHCenter);
    QTest::newRow("AuteurNameDisp")
        << "AuteurNameDisp" << comic << 13 << true << true << false << false << int(Qt::AlignRight);
    QTest::newRow("MailDisp") << "MailDisp" << sans << 11 << true << false << false << true
                              << int(Qt::AlignLeft);
    QTest::newRow("WebPageDisp") << "WebPageDisp" << sans << 11 << true << false << false << false
                                 << int(Qt::AlignLeft);
  }
  void staticTextsHaveTheirLooks() {
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(bool, teal);
    QFETCH(int, alignment);
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    auto* label = Find<QLabel>(box, name.toLatin1().constData());
    const QFont font = label->font();
    QCOMPARE(font.families().value(0), family);
    QCOMPARE(font.pixelSize(), pixelSize);
    QCOMPARE(font.bold(), bold);
    QCOMPARE(font.italic(), italic);
    QCOMPARE(font.underline(), underline);
    QCOMPARE(QFontInfo(font).pixelSize(), pixelSize);
    QCOMPARE(label->palette().color(QPalette::WindowText),
             teal ? kTeal : box.palette().color(QPalette::WindowText));
    QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
    QVERIFY(!label->wordWrap());
  }

  // The family that the designer chose is missing here; its stand-in is what shows.
  void comicTextsShowTheStandIn() {
    if (!QFontDatabase::hasFamily(QStringLiteral("Comic Neue"))) {
      QSKIP("Comic Neue is not installed");
    }
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    const QString shown = QFontInfo(Find<QLabel>(box, "ProgNameDisp")->font()).family();
    QVERIFY2(shown == QStringLiteral("Comic Neue") || shown == QStringLiteral("Comic Sans MS"),
             qPrintable(shown));
  }

  // Texts keep their controls' sizes, so a text wider than its control would be cut.
  void textsFitTheirControls() {
    tavrilo::testing::TempDir dir;
    const QDateTime wideDate(QDate(2028, 12, 28), QTime(12, 0, 0));
    AboutBox box(nullptr, FileDatedAt(dir, wideDate), "dd/MM/yyyy");
    QCOMPARE(Find<QLabel>(box, "ProgDateLabel")->text(), QStringLiteral("28/12/2028"));
    for (QLabel* label : Find<QGroupBox>(box, "GroupBox1")->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;
      const QFontMetrics metrics(label->font());
      QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(),
               qPrintable(label->objectName()));
      QVERIFY2(metrics.height() <= label->height(), qPrintable(label->objectName()));
    }
    auto* bug = Find<QToolButton>(box, "BugReportBtn");
    QVERIFY(QFontMetrics(bug->font()).horizontalAdvance(bug->text()) <= bug->width());
  }

  void pictureIsShownAboveItsFrame() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    auto* image = Find<QLabel>(box, "Image1");
    const QPixmap picture = image->pixmap();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), QSize(100, 133));
    auto* group = Find<QGroupBox>(box, "GroupBox1");
    QCOMPARE(group->childAt(image->geometry().center()), image);
    auto* bevel = Find<QFrame>(box, "Bevel1");
    QCOMPARE(bevel->frameShadow(), QFrame::Sunken);
    QVERIFY(bevel->frameShape() != QFrame::NoFrame);
  }

  void buttonsHaveTheirRoles() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    auto* ok = Find<QPushButton>(box, "OKButton");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QVERIFY(ok->autoDefault());
    auto* bug = Find<QToolButton>(box, "BugReportBtn");
    QCOMPARE(bug->text(), QStringLiteral("Bug Report!"));
    QCOMPARE(bug->focusPolicy(), Qt::NoFocus);
    QVERIFY(bug->autoRaise());
    QCOMPARE(bug->font().families().value(0), QStringLiteral("Arial"));
    QCOMPARE(bug->font().pixelSize(), 11);
    QCOMPARE(bug->palette().color(QPalette::ButtonText), kRed);
    QCOMPARE(Find<QLabel>(box, "MailDisp")->toolTip(), QStringLiteral("E-Mail"));
    QCOMPARE(Find<QLabel>(box, "MailDisp")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(Find<QLabel>(box, "WebPageDisp")->toolTip(), QStringLiteral("Web"));
  }

  void textsComeFromTheProgramsIdentity() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    QCOMPARE(Find<QLabel>(box, "ProgNameDisp")->text(), QStringLiteral("Tavrilo "));
    QCOMPARE(Find<QLabel>(box, "VersionDisp")->text(), QStringLiteral("v1.4b "));
    QCOMPARE(Find<QLabel>(box, "AuteurNameDisp")->text(), FromAnsi(tavrilo::kCopyrightNotice));
    QCOMPARE(Find<QLabel>(box, "MailDisp")->text(), FromAnsi(tavrilo::kEmailAddress));
    QCOMPARE(Find<QLabel>(box, "WebPageDisp")->text(), FromAnsi(tavrilo::kWebPage));
    QVERIFY(!Find<QLabel>(box, "AuteurNameDisp")->text().isEmpty());
  }

  void dateIsTheFilesDateInTheGivenFormat_data() {
    QTest::addColumn<QDateTime>("written");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("shown");
    QTest::newRow("day first") << QDateTime(QDate(2003, 7, 14), QTime(10, 20, 31)) << "dd/MM/yyyy"
                               << "14/07/2003";
    QTest::newRow("year first") << QDateTime(QDate(2003, 7, 14), QTime(10, 20, 31)) << "yyyy-MM-dd"
                                << "2003-07-14";
    QTest::newRow("fallback") << QDateTime(QDate(2024, 11, 3), QTime(8, 0, 0)) << "M/d/yy"
                              << "11/3/24";
    // The last second of a day stays on that day: the time is never rounded up.
    QTest::newRow("last second of the day")
        << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)) << "dd/MM/yyyy"
        << "31/12/1999";
    QTest::newRow("first second of the day")
        << QDateTime(QDate(2000, 1, 1), QTime(0, 0, 1)) << "dd/MM/yyyy"
        << "01/01/2000";
  }
  void dateIsTheFilesDateInTheGivenFormat() {
    QFETCH(QDateTime, written);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    tavrilo::testing::TempDir dir;
    AboutBox box(nullptr, FileDatedAt(dir, written), format);
    QCOMPARE(Find<QLabel>(box, "ProgDateLabel")->text(), shown);
  }

  void dateOfAMissingFileIsEmpty() {
    tavrilo::testing::TempDir dir;
    AboutBox box(nullptr, dir / "missing", "dd/MM/yyyy");
    QVERIFY(Find<QLabel>(box, "ProgDateLabel")->text().isEmpty());
  }

  // The date is read when the box is created; later openings show the same texts even
  // when the file has been written since, and only the caption changes.
  void openingAgainChangesOnlyTheCaption() {
    tavrilo::testing::TempDir dir;
    const std::string path = FileDatedAt(dir, QDateTime(QDate(2003, 7, 14), QTime(10, 0, 0)));
    AboutBox box(nullptr, path, "dd/MM/yyyy");
    auto texts = [&box] {
      QStringList all;
      for (QLabel* label : box.findChildren<QLabel*>())
        all << label->text();
      return all;
    };
    const QStringList before = texts();
    FileDatedAt(dir, QDateTime(QDate(2011, 2, 3), QTime(4, 5, 6)));

    box.setWindowTitle(QStringLiteral("About..."));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.accept();

    QCOMPARE(Find<QLabel>(box, "ProgDateLabel")->text(), QStringLiteral("14/07/2003"));
    QCOMPARE(texts(), before);
    QCOMPARE(box.windowTitle(), QStringLiteral("About..."));
  }

  void mailAddressOpensOnASingleClick() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    auto* mail = Find<QLabel>(box, "MailDisp");
    QTest::mouseClick(mail, Qt::LeftButton);
    QCOMPARE(Opened(), std::vector<std::string>{"mailto:" + std::string(tavrilo::kEmailAddress)});
  }

  // A double click is one click and one double click: one message, not two.
  void mailAddressOpensOnceOnADoubleClick() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    auto* mail = Find<QLabel>(box, "MailDisp");
    QTest::mousePress(mail, Qt::LeftButton);
    QTest::mouseRelease(mail, Qt::LeftButton);
    QTest::mousePress(mail, Qt::LeftButton);
    QTest::mouseDClick(mail, Qt::LeftButton);
    QTest::mouseRelease(mail, Qt::LeftButton);
    QCOMPARE(Opened().size(), std::size_t{1});
  }

  void mailAddressIgnoresOtherPresses() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    auto* mail = Find<QLabel>(box, "MailDisp");
    QTest::mouseClick(mail, Qt::RightButton);
    // Pressed on the address, released away from it.
    QTest::mousePress(mail, Qt::LeftButton);
    QTest::mouseRelease(mail, Qt::LeftButton, {}, QPoint(mail->width() + 10, 5));
    QVERIFY(Opened().empty());
  }

  void webPageOpensOnADoubleClickOnly() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    auto* web = Find<QLabel>(box, "WebPageDisp");
    QTest::mouseClick(web, Qt::LeftButton);
    QVERIFY(Opened().empty());
    QTest::mouseDClick(web, Qt::LeftButton);
    QCOMPARE(Opened(), std::vector<std::string>{std::string(tavrilo::kWebPage)});
  }

  void bugReportButtonOpensTheBugPage() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    QTest::mouseClick(Find<QToolButton>(box, "BugReportBtn"), Qt::LeftButton);
    QCOMPARE(Opened(), std::vector<std::string>{std::string(tavrilo::kBugReportPage)});
    QVERIFY(box.isHidden());
  }

  void opensCentredWithTheFocusOnOK() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    auto* ok = Find<QPushButton>(box, "OKButton");
    for (int opening = 0; opening < 2; ++opening) {
      box.show();
      QVERIFY(QTest::qWaitForWindowActive(&box));
      QCOMPARE(QApplication::focusWidget(), ok);
      QTest::mouseClick(Find<QToolButton>(box, "BugReportBtn"), Qt::LeftButton);
      QCOMPARE(QApplication::focusWidget(), ok);
      const QRect area = box.screen()->availableGeometry();
      QVERIFY((box.frameGeometry().center() - area.center()).manhattanLength() <= 2);
      box.move(area.topLeft());
      box.accept();
    }
  }

  void enterClosesWithOK() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QTest::keyClick(&box, Qt::Key_Return);
    QVERIFY(box.isHidden());
    QCOMPARE(box.result(), int(QDialog::Accepted));
  }

  void okButtonAndCloseBoxHideTheBox() {
    AboutBox box(nullptr, "", "dd/MM/yyyy");
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::mouseClick(Find<QPushButton>(box, "OKButton"), Qt::LeftButton);
    QVERIFY(box.isHidden());
    QCOMPARE(box.result(), int(QDialog::Accepted));

    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QVERIFY(box.close());
    QVERIFY(box.isHidden());
    QCOMPARE(box.result(), int(QDialog::Rejected));
    QVERIFY(!box.testAttribute(Qt::WA_DeleteOnClose));
  }

  void userShortDateFormatIsNeverEmpty() {
    const QString format = tavrilo::ui::UserShortDateFormat();
    QVERIFY(!format.isEmpty());
    // It is a date format: the day and the year of a date show through it.
    const QString shown = QLocale::system().toString(QDate(2024, 11, 23), format);
    QVERIFY2(shown.contains(QStringLiteral("23")) && shown.contains(QStringLiteral("24")),
             qPrintable(format + " -> " + shown));
    QCOMPARE(tavrilo::ui::ShortDateFormatOrFallback(QString()), QStringLiteral("M/d/yy"));
    QCOMPARE(tavrilo::ui::ShortDateFormatOrFallback(QStringLiteral("dd.MM.yy")),
             QStringLiteral("dd.MM.yy"));
  }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
