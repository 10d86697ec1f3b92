#include "core/entry_line.h"
#include "core/entry_match.h"
#include "dialogs/find_form.h"
#include "test_support.h"
#include "widgets/entry_list.h"
#include "widgets/geometry.h"
#include "widgets/modal.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

// The Find dialog on its own, over a list of its own: the search it opens
// with, Find Next's order through the list, and the search it hands back.
// The main window's part (selecting the first entry, offering the search
// again, forgetting it) is tested in test_entry_commands.cpp.

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

QLineEdit* box(const QWidget& form, const char* name,
               std::source_location caller = std::source_location::current())
{
    return child<QLineEdit>(form, name, caller);
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

// A search as one line, so that a comparison shows all of it.
QString describe(const Search& search)
{
    return QStringLiteral("'%1' '%2' '%3' match %4 whole %5")
        .arg(search.criteria.family, search.criteria.shortName, search.criteria.phone)
        .arg(search.options.matchCase)
        .arg(search.options.wholeWord);
}

Search search(const QString& family, const QString& shortName, const QString& phone,
              bool matchCase = false, bool wholeWord = false)
{
    return {{family, shortName, phone}, {matchCase, wholeWord}};
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
    void opensWithTheSearchHandedIn_data();
    void opensWithTheSearchHandedIn();
    void enablingRule_data();
    void enablingRule();
    void findNextStepsThroughMatchesAndWraps();
    void singleMatchStaysSelected();
    void failedSearchKeepsSelectionAndMemory();
    void remembersTrimmedCriteriaAndOptions();
    void clearFieldsKeepsOptionsAndMemory();
    void escapeClosesFromEveryControl_data();
    void escapeClosesFromEveryControl();
    void foundEntryIsScrolledIntoView();
    void findNextReadsTheOptionsAsTheyStand_data();
    void findNextReadsTheOptionsAsTheyStand();

private:
    // Entries of these family names, short name "x" and phone "555", with
    // the first one selected, as the main window selects it before Find.
    void addEntries(const QStringList& families);
    // Shows a Find dialog over the list, opened with the remembered search,
    // as the program shows it, and runs the step in it. Returns the search
    // the dialog hands back.
    Search openFind(const Search& remembered, const std::function<void(QDialog&)>& step);

    std::unique_ptr<EntryList> m_list;
    // Answers every message box, so that no test waits on one.
    std::unique_ptr<MessageScript> m_messages;
};

void TestFindForm::init()
{
    m_messages = std::make_unique<MessageScript>();
    m_list = std::make_unique<EntryList>();
}

void TestFindForm::cleanup()
{
    m_list.reset();
    m_messages.reset();
}

void TestFindForm::addEntries(const QStringList& families)
{
    for (const QString& family : families)
        QVERIFY(m_list->addItem(makeEntryLine(family, "x", "555")));
    m_list->setCurrentRow(0);
}

Search TestFindForm::openFind(const Search& remembered, const std::function<void(QDialog&)>& step)
{
    FindForm form(m_list->lines(), m_list->currentRow(), remembered);
    connect(&form, &FindForm::entryFound, m_list.get(), &EntryList::setCurrentRow);
    runDialog(form, step);
    return form.lastFound();
}

void TestFindForm::controlsStandAtTheirPlaces_data()
{
    // The fields' own rows are held by test_entry_dialogs.
    addControlRows(FindForm::table().controls.mid(EntryFields::controls().size()));
}

void TestFindForm::controlsStandAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);

    addEntries({"Smith"});
    const FindForm form(m_list->lines(), m_list->currentRow(), Search{});
    QWidget* widget = child(form, qPrintable(name));
    const QRect pixels = twipsRect(twips);
    // Where it stands on the form, whether the form or the frame holds it.
    const auto onForm = [&](const QWidget* control) {
        return QRect(control->mapTo(&form, QPoint(0, 0)), control->size());
    };
    if (qobject_cast<QCheckBox*>(widget)) {
        // A check box keeps its left edge and its order; its top and size
        // follow what the style draws (test_layout checks it whole).
        QCOMPARE(onForm(widget).x(), pixels.x());
        QVERIFY(widget->height() >= pixels.height());
        QVERIFY(onForm(child(form, "MatchCheck")).y() < onForm(child(form, "WholeCheck")).y());
    } else {
        QCOMPARE(onForm(widget), pixels);
    }
    if (name != QLatin1String("FindCmd") && name != QLatin1String("Frame1"))
        QVERIFY(onForm(child(form, "Frame1")).contains(onForm(widget)));
}

void TestFindForm::window()
{
    addEntries({"Smith"});
    openFind(Search{}, [](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Find an Item"));
        QCOMPARE(dialog.size(), twipsSize(FindForm::table().twips));
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

void TestFindForm::opensWithTheSearchHandedIn_data()
{
    QTest::addColumn<Search>("remembered");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("nothing remembered") << Search{} << false;
    QTest::newRow("family and Match Case") << search("ann", "", "", true, false) << true;
    QTest::newRow("phone and Whole Word") << search("", "", "55", false, true) << true;
    QTest::newRow("all three and both options") << search("ann", "x", "55", true, true) << true;
    QTest::newRow("only blanks") << search(" ", "  ", "", true, false) << false;
}

void TestFindForm::opensWithTheSearchHandedIn()
{
    QFETCH(Search, remembered);
    QFETCH(bool, enabled);

    addEntries({"Smith", "Adams"});
    const Search handedBack = openFind(remembered, [&](QDialog& dialog) {
        QCOMPARE(boxTexts(dialog),
                 (QStringList{remembered.criteria.family, remembered.criteria.shortName,
                              remembered.criteria.phone}));
        QCOMPARE(checked(dialog, "MatchCheck"), remembered.options.matchCase);
        QCOMPARE(checked(dialog, "WholeCheck"), remembered.options.wholeWord);
        QCOMPARE(findEnabled(dialog), enabled);
        QCOMPARE(focused(), box(dialog, "Family"));
        if (!enabled) {
            // Enter does nothing while Find Next is disabled.
            press(Qt::Key_Return);
            QCOMPARE(m_messages->asked.size(), 0);
            QVERIFY(dialog.isVisible());
        }
    });
    QCOMPARE(describe(handedBack), describe(remembered));
    QCOMPARE(m_list->currentRow(), int(0));
}

void TestFindForm::enablingRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("blank in Family") << "Family"
                                     << " " << false;
    QTest::newRow("blanks in Short") << "Short"
                                     << "   " << false;
    QTest::newRow("letter in Family") << "Family"
                                      << "a" << true;
    QTest::newRow("letter after blanks in Short") << "Short"
                                                  << "  b" << true;
    QTest::newRow("digit in Phone") << "Phone"
                                    << "5" << true;
    QTest::newRow("refused key in Phone") << "Phone"
                                          << "x" << false;
    QTest::newRow("letter typed and deleted") << "Family"
                                              << "a\b" << false;
    QTest::newRow("blank left after deleting") << "Short"
                                               << " z\b" << false;
}

void TestFindForm::enablingRule()
{
    QFETCH(QString, name);
    QFETCH(QString, keys);
    QFETCH(bool, enabled);

    addEntries({"Smith"});
    openFind(Search{}, [&](QDialog& dialog) {
        dialog.findChild<QWidget*>(name)->setFocus();
        type(keys);
        QCOMPARE(findEnabled(dialog), enabled);
    });
}

void TestFindForm::findNextStepsThroughMatchesAndWraps()
{
    addEntries({"Smith", "Hannah", "Adams", "Zanni", "Baker", "Anne"});
    const Search found = openFind(Search{}, [&](QDialog& dialog) {
        type("ann");
        QList<int> selected;
        for (int i = 0; i < 4; ++i) {
            press(Qt::Key_Return);
            selected.append(m_list->currentRow());
        }
        // Adams, Anne, Baker, Hannah, Smith, Zanni: the search starts after
        // Adams, which is selected.
        QCOMPARE(selected, (QList<int>{1, 3, 5, 1}));
        QCOMPARE(m_messages->asked.size(), 0);
        QVERIFY(dialog.isVisible());
        QCOMPARE(boxTexts(dialog), (QStringList{"ann", "", ""}));
    });
    QCOMPARE(describe(found), describe(search("ann", "", "")));
    QCOMPARE(m_list->currentRow(), int(1));
}

void TestFindForm::singleMatchStaysSelected()
{
    addEntries({"Adams", "Baker", "Smith"});
    openFind(Search{}, [&](QDialog&) {
        type("ADA");
        press(Qt::Key_Return);
        QCOMPARE(m_list->currentRow(), int(0));
        press(Qt::Key_Return);
        QCOMPARE(m_list->currentRow(), int(0));
        QCOMPARE(m_messages->asked.size(), 0);
    });
}

void TestFindForm::failedSearchKeepsSelectionAndMemory()
{
    addEntries({"Adams", "Baker", "Smith"});
    const Search found = openFind(Search{}, [&](QDialog& dialog) {
        type("smi");
        press(Qt::Key_Return);
        QCOMPARE(m_list->currentRow(), int(2));
        box(dialog, "Family")->selectAll();
        type("zzz");
        pressAccessKey(dialog, Qt::Key_W, "WholeCheck");
        press(Qt::Key_Return);
        QCOMPARE(m_messages->asked.size(), 1);
        QCOMPARE(m_messages->asked.first().text, QStringLiteral("Not Found Any Match!"));
        QCOMPARE(m_messages->asked.first().title, QStringLiteral("Find Message"));
        QCOMPARE(m_messages->asked.first().buttons, MessageButtons::Ok);
        QCOMPARE(m_list->currentRow(), int(2));
        QCOMPARE(boxTexts(dialog), (QStringList{"zzz", "", ""}));
        QVERIFY(checked(dialog, "WholeCheck"));
        QVERIFY(dialog.isVisible());
    });
    QCOMPARE(describe(found), describe(search("smi", "", "")));
}

void TestFindForm::remembersTrimmedCriteriaAndOptions()
{
    addEntries({"Ann", "Dianne", "Joanna"});
    const Search found = openFind(Search{}, [&](QDialog& dialog) {
        type("  ann ");
        press(Qt::Key_Tab);
        type(" x");
        press(Qt::Key_Tab);
        type("55");
        pressAccessKey(dialog, Qt::Key_M, "MatchCheck");
        press(Qt::Key_Return);
        QCOMPARE(m_list->currentRow(), int(1));
    });
    QCOMPARE(describe(found), describe(search("ann", "x", "55", true, false)));

    // Handed in again, it goes on from the entry it found.
    const Search again = openFind(found, [&](QDialog& dialog) {
        QCOMPARE(boxTexts(dialog), (QStringList{"ann", "x", "55"}));
        QVERIFY(checked(dialog, "MatchCheck"));
        QVERIFY(!checked(dialog, "WholeCheck"));
        QVERIFY(findEnabled(dialog));
        press(Qt::Key_Return);
        QCOMPARE(m_list->currentRow(), int(2));
    });
    QCOMPARE(describe(again), describe(found));
    QCOMPARE(m_messages->asked.size(), 0);
}

void TestFindForm::clearFieldsKeepsOptionsAndMemory()
{
    addEntries({"Adams", "Smith"});
    const Search found = openFind(Search{}, [&](QDialog& dialog) {
        type("smith");
        press(Qt::Key_Return);
        QCOMPARE(m_list->currentRow(), int(1));
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
    // The search that found Smith, not the options or fields set after it.
    QCOMPARE(describe(found), describe(search("smith", "", "")));
}

void TestFindForm::escapeClosesFromEveryControl_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"Family", "Short", "Phone", "FindCmd", "MatchCheck", "WholeCheck", "ClearCmd"})
        QTest::newRow(name) << QString::fromLatin1(name);
    QTest::newRow("close box") << QString();
}

void TestFindForm::escapeClosesFromEveryControl()
{
    QFETCH(QString, name);

    addEntries({"Adams", "Smith"});
    const Search remembered = search("", "x", "", false, true);
    const Search handedBack = openFind(remembered, [&](QDialog& dialog) {
        type("smith");
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        type("555");
        QCOMPARE(boxTexts(dialog), (QStringList{"smith", "x", "555"}));
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
    QCOMPARE(m_list->currentRow(), int(0));
    // What was typed and never found is not handed back.
    QCOMPARE(describe(handedBack), describe(remembered));
}

void TestFindForm::foundEntryIsScrolledIntoView()
{
    QStringList families;
    for (int i = 0; i < 300; ++i)
        families.append(QStringLiteral("Name %1").arg(i, 3, 10, QChar(u'0')));
    families.append("Zoe");
    addEntries(families);
    m_list->resize(400, 200);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
    openFind(Search{}, [&](QDialog&) {
        type("zoe");
        press(Qt::Key_Return);
        QCOMPARE(m_list->currentRow(), int(300));
        const QRect row = m_list->visualRect(m_list->model()->index(300, 0));
        QVERIFY(row.top() >= 0);
        QVERIFY(row.bottom() < m_list->viewport()->height());
    });
}

void TestFindForm::findNextReadsTheOptionsAsTheyStand_data()
{
    QTest::addColumn<QStringList>("criteria");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    // The entry Find Next selects with neither option, then with the options
    // checked; -1 when it finds nothing.
    QTest::addColumn<int>("plain");
    QTest::addColumn<int>("withOptions");

    using L = QStringList;
    QTest::newRow("blanks and case ignored") << L{"  SMITH ", "", ""} << false << false << 1 << 1;
    QTest::newRow("Match Case, other case") << L{"SMITH", "", ""} << true << false << 1 << -1;
    QTest::newRow("Match Case, same case") << L{"Smith", "", ""} << true << false << 1 << 1;
    QTest::newRow("Whole Word, part of the family")
        << L{"Smit", "", ""} << false << true << 1 << -1;
    QTest::newRow("Whole Word, the whole family") << L{"Smith", "", ""} << false << true << 1 << 1;
    QTest::newRow("Whole Word, the whole short name")
        << L{"", "John", ""} << false << true << 1 << 1;
    QTest::newRow("Whole Word, part of the phone") << L{"", "", "55"} << false << true << 1 << -1;
    QTest::newRow("both options, blanks around") << L{"  Smith ", "", ""} << true << true << 1 << 1;
    QTest::newRow("both options, other case") << L{"smith", "", ""} << true << true << 1 << -1;
}

void TestFindForm::findNextReadsTheOptionsAsTheyStand()
{
    QFETCH(QStringList, criteria);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(int, plain);
    QFETCH(int, withOptions);

    QVERIFY(m_list->addItem(makeEntryLine("Adams", "Ann", "123")));
    QVERIFY(m_list->addItem(makeEntryLine("Smith", "John", "555")));
    m_list->setCurrentRow(0);
    const Search found = openFind(Search{}, [&](QDialog& dialog) {
        const char* names[] = {"Family", "Short", "Phone"};
        for (int i = 0; i < 3; ++i)
            QTest::keyClicks(box(dialog, names[i]), criteria.at(i));
        auto* findCmd = child<QPushButton>(dialog, "FindCmd");

        QTest::mouseClick(findCmd, Qt::LeftButton);
        QCOMPARE(int(m_list->currentRow()), plain < 0 ? 0 : plain);
        QCOMPARE(m_messages->asked.size(), plain < 0 ? 1 : 0);

        m_list->setCurrentRow(0);
        if (matchCase)
            QTest::mouseClick(child<QCheckBox>(dialog, "MatchCheck"), Qt::LeftButton);
        if (wholeWord)
            QTest::mouseClick(child<QCheckBox>(dialog, "WholeCheck"), Qt::LeftButton);
        QTest::mouseClick(findCmd, Qt::LeftButton);
        QCOMPARE(int(m_list->currentRow()), withOptions < 0 ? 0 : withOptions);
        QCOMPARE(m_messages->asked.size(), (plain < 0 ? 1 : 0) + (withOptions < 0 ? 1 : 0));
        QVERIFY(dialog.isVisible());
    });
    const Search trimmed =
        search(criteria.at(0).trimmed(), criteria.at(1).trimmed(), criteria.at(2).trimmed());
    const Search checkedToo = search(trimmed.criteria.family, trimmed.criteria.shortName,
                                     trimmed.criteria.phone, matchCase, wholeWord);
    QCOMPARE(describe(found), describe(withOptions < 0 ? trimmed : checkedToo));
}

QTEST_MAIN(TestFindForm)
#include "test_find_form.moc"
