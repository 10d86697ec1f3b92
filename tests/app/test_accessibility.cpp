#include "app/main_window.h"
#include "dialogs/entry_form.h"
#include "dialogs/file_box.h"
#include "dialogs/find_form.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace callvista;
using namespace callvista::testing;

namespace {

QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// The controls of a window that take the keyboard focus but are given no
// name that assistive technology can read.
QStringList unnamedControls(const QWidget& window)
{
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (accessibleName(widget).trimmed().isEmpty())
            unnamed.append(QStringLiteral("%1 (%2)").arg(widget->objectName(),
                                                         widget->metaObject()->className()));
    }
    return unnamed;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyFocusableControlHasAName_data();
    void everyFocusableControlHasAName();
    void controlsWithoutTextAreNamed_data();
    void controlsWithoutTextAreNamed();
    void linesAreNamedByTheirFields();
    void listNamesItsColumns();
    void driveListShowsItsDriveAsItsValue();
    void folderListHasNoNumberedHeader();
    void findOptionsHoldTheirCheckBoxes();

private:
    std::unique_ptr<QDialog> openDialog(const QString& name);

    std::unique_ptr<ScratchFolder> m_folder;
    std::unique_ptr<MainWindow> m_main;
};

void TestAccessibility::init()
{
    // The file chooser lists the current folder: an empty one.
    m_folder = std::make_unique<ScratchFolder>();
    QVERIFY(!m_folder->path().isEmpty());
    m_main = std::make_unique<MainWindow>();
    putEntries(*m_main, {{"Smith", "John", "555"}});
    entryList(*m_main)->setCurrentRow(0);
    showActive(*m_main);
}

void TestAccessibility::cleanup()
{
    m_main.reset();
    m_folder.reset();
}

std::unique_ptr<QDialog> TestAccessibility::openDialog(const QString& name)
{
    EntryList& list = *entryList(*m_main);
    std::unique_ptr<QDialog> dialog;
    if (name == "AddForm")
        dialog = std::make_unique<EntryForm>(AddEntries{insertInto(list)}, m_main.get());
    else if (name == "EditForm")
        dialog =
            std::make_unique<EntryForm>(EditEntry{list.itemText(list.currentRow())}, m_main.get());
    else if (name == "FindForm")
        dialog =
            std::make_unique<FindForm>(list.lines(), list.currentRow(), Search{}, m_main.get());
    else if (name == "FileBox")
        dialog = std::make_unique<FileBox>(ChooserOptions{QStringLiteral("Open a Callvista"),
                                                          QStringLiteral("Open"), false,
                                                          QStringLiteral("CVA"), true},
                                           m_main.get());
    if (dialog)
        dialog->show();
    return dialog;
}

void TestAccessibility::everyFocusableControlHasAName_data()
{
    QTest::addColumn<QString>("window");
    for (const char* window : {"Main", "AddForm", "EditForm", "FindForm", "FileBox"})
        QTest::newRow(window) << QString(window);
}

void TestAccessibility::everyFocusableControlHasAName()
{
    QFETCH(QString, window);
    const std::unique_ptr<QDialog> dialog = openDialog(window);
    const QWidget& shown = dialog ? *dialog : static_cast<const QWidget&>(*m_main);
    QCOMPARE(shown.objectName(), window);
    const QStringList unnamed = unnamedControls(shown);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
}

void TestAccessibility::controlsWithoutTextAreNamed_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");

    QTest::newRow("picture") << "Main"
                             << "Image1"
                             << "Callvista logo";
    QTest::newRow("entry list") << "Main"
                                << "AdrList"
                                << "Entries";
    QTest::newRow("Add keeps its caption") << "Main"
                                           << "AddCmd"
                                           << "Add";
    QTest::newRow("Edit keeps its caption") << "Main"
                                            << "EditCmd"
                                            << "Edit";
    QTest::newRow("Delete keeps its caption") << "Main"
                                              << "DelCmd"
                                              << "Delete";
    QTest::newRow("Find keeps its caption") << "Main"
                                            << "FindCmd"
                                            << "Find";
    QTest::newRow("name box, from its label") << "FileBox"
                                              << "boxFileName"
                                              << "FileName:";
    QTest::newRow("folder list") << "FileBox"
                                 << "boxDir"
                                 << "Folders";
    QTest::newRow("file list") << "FileBox"
                               << "boxFile"
                               << "Files";
    QTest::newRow("drive list, not the drive it shows") << "FileBox"
                                                        << "boxDrive"
                                                        << "Drive";
    QTest::newRow("header, by its titles") << "Main"
                                           << "Title"
                                           << "Family Name, Short Name, Phone No";
    QTest::newRow("Find's options, without padding") << "FindForm"
                                                     << "Frame1"
                                                     << "Options";
    QTest::newRow("Family, from its label") << "AddForm"
                                            << "Family"
                                            << "Family Name:";
    QTest::newRow("Phone, from its label") << "FindForm"
                                           << "Phone"
                                           << "Phone No:";
}

void TestAccessibility::controlsWithoutTextAreNamed()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, name);

    const std::unique_ptr<QDialog> dialog = openDialog(window);
    const QWidget& shown = dialog ? *dialog : static_cast<const QWidget&>(*m_main);
    QWidget* widget = child(shown, qPrintable(control));
    QVERIFY(widget);
    QCOMPARE(accessibleName(widget), name);
}

void TestAccessibility::linesAreNamedByTheirFields()
{
    EntryList* list = entryList(*m_main);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::List);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Entries"));

    // Added as a person adds them; each takes its sorted place, and every
    // item is named by the line now at its place.
    addEntries(*m_main,
               {{"Baker", "Tom", "12-345-67"},
                {"  adams ", "Ann", "+49-555-12"},
                {QString::fromUtf16(u"Tab\tName"), QString::fromUtf16(u"Line\u2028Two"), "1"}});
    const QStringList expected{"adams, Ann, +49-555-12", "Baker, Tom, 12-345-67",
                               "Smith, John, 555", "Tab Name, Line Two, 1"};
    QCOMPARE(face->childCount(), int(expected.size()));
    for (int row = 0; row < face->childCount(); ++row) {
        QAccessibleInterface* line = face->child(row);
        QVERIFY(line);
        QCOMPARE(line->role(), QAccessible::ListItem);
        QCOMPARE(line->text(QAccessible::Name), expected.at(row));
        QCOMPARE(face->indexOfChild(line), row);
        QCOMPARE(line->parent(), face);
        QCOMPARE(line->rect(), QRect(list->viewport()->mapToGlobal(
                                         list->visualRect(list->model()->index(row, 0)).topLeft()),
                                     list->visualRect(list->model()->index(row, 0)).size()));
    }

    // The selected line is the selected item; after a removal the items
    // follow the lines.
    list->setCurrentRow(2);
    QVERIFY(face->child(2)->state().selected);
    QVERIFY(!face->child(1)->state().selected);
    list->removeItem(0);
    QCOMPARE(face->childCount(), 3);
    QCOMPARE(face->child(0)->text(QAccessible::Name), expected.at(1));
    QVERIFY(!face->child(3));
}

void TestAccessibility::listNamesItsColumns()
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(entryList(*m_main));
    QAccessibleTableInterface* table = face->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->columnCount(), 3);
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE((QStringList{table->columnDescription(0), table->columnDescription(1),
                          table->columnDescription(2)}),
             (QStringList{"Family Name", "Short Name", "Phone No"}));
    // One line is one item across the three columns, under their headers.
    for (int column = 0; column < 3; ++column)
        QCOMPARE(table->cellAt(0, column), face->child(0));
    QAccessibleTableCellInterface* cell = face->child(0)->tableCellInterface();
    QVERIFY(cell);
    QCOMPARE(cell->columnExtent(), 3);
    QCOMPARE(cell->rowIndex(), 0);
    QCOMPARE(cell->table(), face);
    QStringList headers;
    for (QAccessibleInterface* header : cell->columnHeaderCells()) {
        QCOMPARE(header->role(), QAccessible::ColumnHeader);
        headers.append(header->text(QAccessible::Name));
    }
    QCOMPARE(headers, (QStringList{"Family Name", "Short Name", "Phone No"}));
    QCOMPARE(table->selectedRows(), QList<int>{0});
    QVERIFY(!table->unselectRow(0));
    QCOMPARE(entryList(*m_main)->currentRow(), int(0));
}

void TestAccessibility::driveListShowsItsDriveAsItsValue()
{
    const std::unique_ptr<QDialog> dialog = openDialog("FileBox");
    auto* drives = child<QComboBox>(*dialog, "boxDrive");
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(drives);
    QCOMPARE(face->role(), QAccessible::ComboBox);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Drive"));
    QVERIFY(!drives->currentText().isEmpty());
    QCOMPARE(face->text(QAccessible::Value), drives->currentText());
}

void TestAccessibility::folderListHasNoNumberedHeader()
{
    const std::unique_ptr<QDialog> dialog = openDialog("FileBox");
    QAccessibleInterface* folders = QAccessible::queryAccessibleInterface(child(*dialog, "boxDir"));
    QVERIFY(folders);
    QVERIFY(folders->childCount() > 0);
    for (int i = 0; i < folders->childCount(); ++i)
        QVERIFY2(folders->child(i)->text(QAccessible::Name) != QLatin1String("1"),
                 qPrintable(QStringLiteral("child %1 is named 1").arg(i)));
}

void TestAccessibility::findOptionsHoldTheirCheckBoxes()
{
    const std::unique_ptr<QDialog> dialog = openDialog("FindForm");
    QWidget* frame = child(*dialog, "Frame1");
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(frame);
    QStringList inside;
    for (int i = 0; i < group->childCount(); ++i)
        if (group->child(i)->role() == QAccessible::CheckBox)
            inside.append(group->child(i)->text(QAccessible::Name));
    QCOMPARE(inside, (QStringList{"Match Case", "Whole Word"}));
    // Inside the frame on screen as well, below its caption.
    for (const char* name : {"MatchCheck", "WholeCheck"}) {
        QWidget* check = child(*dialog, name);
        QVERIFY(frame->rect().contains(check->geometry()));
    }
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
