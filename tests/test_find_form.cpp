#include "app/adr_list.h"
#include "app/main_window.h"
#include "dialogs/find_form.h"
#include "test_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace callvista;
using namespace callvista::testing;

namespace {

// An access key clicks its control after a short animation; a check box
// takes the focus too.
void pressAccessKey(const QWidget& form, Qt::Key key, const char* name)
{
    auto* button = child<QAbstractButton>(form, name);
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QTest::keyClick(focused(), key, Qt::AltModifier);
    QVERIFY(clicked.wait(1000));
}

QLineEdit* box(const QWidget& form, const char* name)
{
    return child<QLineEdit>(form, name);
}

QStringList boxTexts(const QWidget& form)
{
    return {box(form, "Family")->text(), box(form, "Short")->text(), box(form, "Phone")->text()};
}

bool findEnabled(const QWidget& form)
{
    return child<QPushButton>(form, "FindCmd")->isEnabled();
}

bool checked(const QWidget& form, const char* name)
{
    return child<QCheckBox>(form, name)->isChecked();
}

} // namespace

class TestFindForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsStandAtTheirPlaces_data();
    void controlsStandAtTheirPlaces();
    void window();
    void firstOpeningIsEmpty();
    void enablingRule_data();
    void enablingRule();
    void findNextStepsThroughMatchesAndWraps();
    void singleMatchStaysSelected();
    void failedSearchKeepsSelectionAndMemory();
    void remembersTrimmedCriteriaAndOptions();
    void clearFieldsKeepsOptionsAndMemory();
    void escapeClosesFromEveryControl_data();
    void escapeClosesFromEveryControl();
    void loadResetsTheMemory();
    void foundEntryIsScrolledIntoView();
    void findItemIndexReadsTheDialogAsItRuns();
    void emptyListOpensNothing();
    void screenshot();

private:
    void addEntries(const QStringList& families);
    void openFind(ModalScript::Step step);
    std::unique_ptr<Main> m_main;
    // Answers every message box, so that no test waits on one.
    std::unique_ptr<MessageScript> m_messages;
};

void TestFindForm::init()
{
    m_messages = std::make_unique<MessageScript>();
    m_main = std::make_unique<Main>();
    showActive(*m_main);
}

void TestFindForm::cleanup()
{
    m_main.reset();
    m_messages.reset();
}

void TestFindForm::addEntries(const QStringList& families)
{
    for (const QString& family : families)
        QVERIFY(m_main->adrList()->addItem(m_main->MakeNewItem(family, "x", "555")));
    m_main->adrList()->setFocus();
}

// Opens the dialog through the main window's Find button and runs the step
// in it.
void TestFindForm::openFind(ModalScript::Step step)
{
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        step(dialog);
    });
    QTest::mouseClick(child<QAbstractButton>(*m_main, "FindCmd"), Qt::LeftButton);
    QCOMPARE(dialogs.shown, QStringList{"FindForm"});
}

void TestFindForm::controlsStandAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");

    QTest::newRow("FindCmd") << "FindCmd" << QRect(232, 112, 73, 25);
    QTest::newRow("Frame1") << "Frame1" << QRect(24, 96, 193, 49);
    QTest::newRow("MatchCheck") << "MatchCheck" << QRect(48, 112, 97, 17);
    QTest::newRow("WholeCheck") << "WholeCheck" << QRect(48, 128, 105, 13);
    QTest::newRow("ClearCmd") << "ClearCmd" << QRect(136, 118, 73, 20);
}

void TestFindForm::controlsStandAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);

    addEntries({"Smith"});
    const FindForm form(*m_main);
    QWidget* widget = form.findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);
    if (name != QLatin1String("FindCmd") && name != QLatin1String("Frame1"))
        QVERIFY(child(form, "Frame1")->geometry().contains(widget->geometry()));
}

void TestFindForm::window()
{
    addEntries({"Smith"});
    openFind([](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Find an Item"));
        QCOMPARE(dialog.size(), QSize(334, 151));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!dialog.windowIcon().isNull());
        QCOMPARE(child<QPushButton>(dialog, "FindCmd")->text(), QStringLiteral("Find Next"));
        QVERIFY(child<QPushButton>(dialog, "FindCmd")->isDefault());
        QCOMPARE(child<QGroupBox>(dialog, "Frame1")->title(), QStringLiteral(" Options "));
        QCOMPARE(child<QCheckBox>(dialog, "MatchCheck")->text(), QStringLiteral("&Match Case"));
        QCOMPARE(child<QCheckBox>(dialog, "WholeCheck")->text(), QStringLiteral("&Whole Word"));
        auto* clear = child<QPushButton>(dialog, "ClearCmd");
        QCOMPARE(clear->text(), QStringLiteral("&Clear Fields"));
        QCOMPARE(clear->palette().color(QPalette::Button), QColor(224, 224, 224));

        type("a");
        QStringList order;
        for (int i = 0; i < 8; ++i) {
            order.append(focused()->objectName());
            press(Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"Family", "Short", "Phone", "FindCmd", "MatchCheck",
                                     "WholeCheck", "ClearCmd", "Family"}));

        // The access keys reach the options from any box, Phone included.
        child(dialog, "Phone")->setFocus();
        pressAccessKey(dialog, Qt::Key_M, "MatchCheck");
        child(dialog, "Phone")->setFocus();
        pressAccessKey(dialog, Qt::Key_W, "WholeCheck");
        QVERIFY(checked(dialog, "MatchCheck"));
        QVERIFY(checked(dialog, "WholeCheck"));
        QCOMPARE(box(dialog, "Phone")->text(), QString());
    });
}

void TestFindForm::firstOpeningIsEmpty()
{
    addEntries({"Smith", "Adams"});
    QCOMPARE(m_main->adrList()->listIndex(), qint16(-1));
    openFind([&](QDialog& dialog) {
        // Find selected the first entry before the dialog opened.
        QCOMPARE(m_main->adrList()->listIndex(), qint16(0));
        QCOMPARE(boxTexts(dialog), (QStringList{"", "", ""}));
        QVERIFY(!checked(dialog, "MatchCheck"));
        QVERIFY(!checked(dialog, "WholeCheck"));
        QVERIFY(!findEnabled(dialog));
        QCOMPARE(focused(), box(dialog, "Family"));
        press(Qt::Key_Return);
        QCOMPARE(m_messages->asked.size(), 0);
        QVERIFY(dialog.isVisible());
    });
}

void TestFindForm::enablingRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("blank in Family") << "Family" << " " << false;
    QTest::newRow("blanks in Short") << "Short" << "   " << false;
    QTest::newRow("letter in Family") << "Family" << "a" << true;
    QTest::newRow("letter after blanks in Short") << "Short" << "  b" << true;
    QTest::newRow("digit in Phone") << "Phone" << "5" << true;
    QTest::newRow("refused key in Phone") << "Phone" << "x" << false;
    QTest::newRow("letter typed and deleted") << "Family" << "a\b" << false;
    QTest::newRow("blank left after deleting") << "Short" << " z\b" << false;
}

void TestFindForm::enablingRule()
{
    QFETCH(QString, name);
    QFETCH(QString, keys);
    QFETCH(bool, enabled);

    addEntries({"Smith"});
    openFind([&](QDialog& dialog) {
        dialog.findChild<QWidget*>(name)->setFocus();
        type(keys);
        QCOMPARE(findEnabled(dialog), enabled);
    });
}

void TestFindForm::findNextStepsThroughMatchesAndWraps()
{
    addEntries({"Smith", "Hannah", "Adams", "Zanni", "Baker", "Anne"});
    openFind([&](QDialog& dialog) {
        type("ann");
        QList<int> selected;
        for (int i = 0; i < 4; ++i) {
            press(Qt::Key_Return);
            selected.append(m_main->adrList()->listIndex());
        }
        // Adams, Anne, Baker, Hannah, Smith, Zanni: the search starts after
        // Adams, which Find selected.
        QCOMPARE(selected, (QList<int>{1, 3, 5, 1}));
        QCOMPARE(m_messages->asked.size(), 0);
        QVERIFY(dialog.isVisible());
        QCOMPARE(boxTexts(dialog), (QStringList{"ann", "", ""}));
    });
    QCOMPARE(m_main->find_fn, QStringLiteral("ann"));
    QCOMPARE(m_main->adrList()->listIndex(), qint16(1));
}

void TestFindForm::singleMatchStaysSelected()
{
    addEntries({"Adams", "Baker", "Smith"});
    openFind([&](QDialog&) {
        type("ADA");
        press(Qt::Key_Return);
        QCOMPARE(m_main->adrList()->listIndex(), qint16(0));
        press(Qt::Key_Return);
        QCOMPARE(m_main->adrList()->listIndex(), qint16(0));
        QCOMPARE(m_messages->asked.size(), 0);
    });
}

void TestFindForm::failedSearchKeepsSelectionAndMemory()
{
    addEntries({"Adams", "Baker", "Smith"});
    openFind([&](QDialog& dialog) {
        type("smi");
        press(Qt::Key_Return);
        QCOMPARE(m_main->adrList()->listIndex(), qint16(2));
        box(dialog, "Family")->selectAll();
        type("zzz");
        pressAccessKey(dialog, Qt::Key_W, "WholeCheck");
        press(Qt::Key_Return);
        QCOMPARE(m_messages->asked.size(), 1);
        QCOMPARE(m_messages->asked.first().text, QStringLiteral("Not Found Any Match!"));
        QCOMPARE(m_messages->asked.first().title, QStringLiteral("Find Message"));
        QCOMPARE(m_messages->asked.first().buttons, MessageButtons::Ok);
        QCOMPARE(m_main->adrList()->listIndex(), qint16(2));
        QCOMPARE(boxTexts(dialog), (QStringList{"zzz", "", ""}));
        QVERIFY(checked(dialog, "WholeCheck"));
        QVERIFY(dialog.isVisible());
    });
    QCOMPARE(m_main->find_fn, QStringLiteral("smi"));
    QCOMPARE(m_main->find_whole, qint16(0));
    openFind([&](QDialog& dialog) {
        QCOMPARE(boxTexts(dialog), (QStringList{"smi", "", ""}));
        QVERIFY(!checked(dialog, "WholeCheck"));
        QVERIFY(findEnabled(dialog));
    });
}

void TestFindForm::remembersTrimmedCriteriaAndOptions()
{
    addEntries({"Ann", "Dianne", "Joanna"});
    openFind([&](QDialog& dialog) {
        type("  ann ");
        press(Qt::Key_Tab);
        type(" x");
        press(Qt::Key_Tab);
        type("55");
        pressAccessKey(dialog, Qt::Key_M, "MatchCheck");
        press(Qt::Key_Return);
        QCOMPARE(m_main->adrList()->listIndex(), qint16(1));
    });
    QCOMPARE(m_main->find_fn, QStringLiteral("ann"));
    QCOMPARE(m_main->find_sn, QStringLiteral("x"));
    QCOMPARE(m_main->find_pn, QStringLiteral("55"));
    QCOMPARE(m_main->find_match, qint16(1));
    QCOMPARE(m_main->find_whole, qint16(0));
    openFind([&](QDialog& dialog) {
        QCOMPARE(boxTexts(dialog), (QStringList{"ann", "x", "55"}));
        QVERIFY(checked(dialog, "MatchCheck"));
        QVERIFY(!checked(dialog, "WholeCheck"));
        QVERIFY(findEnabled(dialog));
        // The remembered search goes on from the entry it found.
        press(Qt::Key_Return);
        QCOMPARE(m_main->adrList()->listIndex(), qint16(2));
    });
}

void TestFindForm::clearFieldsKeepsOptionsAndMemory()
{
    addEntries({"Adams", "Smith"});
    openFind([&](QDialog& dialog) {
        type("smith");
        press(Qt::Key_Return);
        QCOMPARE(m_main->adrList()->listIndex(), qint16(1));
        pressAccessKey(dialog, Qt::Key_M, "MatchCheck");
        box(dialog, "Short")->setFocus();
        type("x");
        press(Qt::Key_Tab);
        type("1");
        pressAccessKey(dialog, Qt::Key_C, "ClearCmd");
        QCOMPARE(boxTexts(dialog), (QStringList{"", "", ""}));
        QVERIFY(!findEnabled(dialog));
        QVERIFY(checked(dialog, "MatchCheck"));
        QTest::mouseClick(child<QCheckBox>(dialog, "WholeCheck"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "ClearCmd"), Qt::LeftButton);
        QVERIFY(checked(dialog, "WholeCheck"));
    });
    QCOMPARE(m_messages->asked.size(), 0);
    openFind([&](QDialog& dialog) {
        QCOMPARE(boxTexts(dialog), (QStringList{"smith", "", ""}));
        QVERIFY(!checked(dialog, "MatchCheck"));
        QVERIFY(!checked(dialog, "WholeCheck"));
    });
}

void TestFindForm::escapeClosesFromEveryControl_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"Family", "Short", "Phone", "FindCmd", "MatchCheck", "WholeCheck",
                             "ClearCmd"})
        QTest::newRow(name) << QString::fromLatin1(name);
    QTest::newRow("close box") << QString();
}

void TestFindForm::escapeClosesFromEveryControl()
{
    QFETCH(QString, name);

    addEntries({"Adams", "Smith"});
    openFind([&](QDialog& dialog) {
        type("smith");
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        type("555");
        if (name.isEmpty()) {
            dialog.close();
        } else {
            dialog.findChild<QWidget*>(name)->setFocus();
            QCOMPARE(focused()->objectName(), name);
            press(Qt::Key_Escape);
        }
        QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(m_messages->asked.size(), 0);
    QCOMPARE(m_main->adrList()->listIndex(), qint16(0));
    QCOMPARE(m_main->find_fn, QString());
    QCOMPARE(m_main->find_pn, QString());
}

void TestFindForm::loadResetsTheMemory()
{
    addEntries({"Adams", "Smith"});
    openFind([&](QDialog& dialog) {
        type("Smith");
        pressAccessKey(dialog, Qt::Key_M, "MatchCheck");
        QCOMPARE(focused(), child(dialog, "MatchCheck"));
        pressAccessKey(dialog, Qt::Key_W, "WholeCheck");
        press(Qt::Key_Return);
        QCOMPARE(m_main->adrList()->listIndex(), qint16(1));
    });
    QCOMPARE(m_main->find_whole, qint16(1));

    // Open empties the list, runs the load handler, reads the entries and
    // refreshes the buttons.
    m_main->adrList()->clear();
    m_main->load();
    addEntries({"Smith"});
    m_main->refreshButtons();
    openFind([&](QDialog& dialog) {
        QCOMPARE(boxTexts(dialog), (QStringList{"", "", ""}));
        QVERIFY(!checked(dialog, "MatchCheck"));
        QVERIFY(!checked(dialog, "WholeCheck"));
        QVERIFY(!findEnabled(dialog));
    });
}

void TestFindForm::foundEntryIsScrolledIntoView()
{
    QStringList families;
    for (int i = 0; i < 300; ++i)
        families.append(QStringLiteral("Name %1").arg(i, 3, 10, QChar(u'0')));
    families.append("Zoe");
    addEntries(families);
    AdrList* list = m_main->adrList();
    openFind([&](QDialog&) {
        type("zoe");
        press(Qt::Key_Return);
        QCOMPARE(list->listIndex(), qint16(300));
        const QRect row = list->visualRect(list->model()->index(300, 0));
        QVERIFY(row.top() >= 0);
        QVERIFY(row.bottom() < list->viewport()->height());
    });
}

void TestFindForm::findItemIndexReadsTheDialogAsItRuns()
{
    addEntries({"Adams", "Smith"});
    m_main->adrList()->setListIndex(0);
    FindForm form(*m_main);
    QCOMPARE(form.FindItemIndex("  SMITH ", "", ""), qint16(1));
    child<QCheckBox>(form, "MatchCheck")->setChecked(true);
    QCOMPARE(form.FindItemIndex("SMITH", "", ""), qint16(-1));
    QCOMPARE(form.FindItemIndex("Smith", "", ""), qint16(1));
    child<QCheckBox>(form, "WholeCheck")->setChecked(true);
    QCOMPARE(form.FindItemIndex("Smit", "", ""), qint16(-1));
    QCOMPARE(form.FindItemIndex("Smith", "", ""), qint16(1));
    // One more character in the family column takes in the separator.
    box(form, "Family")->setMaxLength(31);
    QCOMPARE(form.FindItemIndex("Smith", "", ""), qint16(-1));
    QCOMPARE(m_main->adrList()->listIndex(), qint16(0));
    QCOMPARE(m_main->find_fn, QString());
}

void TestFindForm::emptyListOpensNothing()
{
    ModalScript dialogs;
    m_main->findCmdClick();
    QCOMPARE(dialogs.shown.size(), 0);
}

void TestFindForm::screenshot()
{
    const QString folder = qEnvironmentVariable("CALLVISTA_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("set CALLVISTA_SCREENSHOTS to a folder to save the picture");
    addEntries({"Smith", "Adams", "Hannah", "Baker", "Zanni"});
    m_main->find_fn = "ann";
    m_main->find_match = 1;
    m_main->adrList()->setListIndex(2);
    FindForm form(*m_main);
    form.show();
    QTest::mouseClick(child<QPushButton>(form, "FindCmd"), Qt::LeftButton);
    const QImage window = m_main->grab().toImage();
    const QImage dialog = form.grab().toImage();
    QImage sheet(window.width() + dialog.width() + 20, window.height(), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.drawImage(0, 0, window);
    painter.drawImage(window.width() + 20, 0, dialog);
    painter.end();
    QVERIFY(sheet.save(folder + "/find_dialog.png"));
}

QTEST_MAIN(TestFindForm)
#include "test_find_form.moc"
