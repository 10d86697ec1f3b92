#include "app/main_window.h"
#include "dialogs/add_form.h"
#include "dialogs/edit_form.h"
#include "dialogs/file_box.h"
#include "dialogs/find_form.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QAccessible>
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

private:
    std::unique_ptr<QDialog> openDialog(const QString& name);

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_savedCurrent;
    std::unique_ptr<MainWindow> m_main;
};

void TestAccessibility::init()
{
    // The file chooser lists the current folder: an empty one.
    m_savedCurrent = QDir::currentPath();
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    QVERIFY(QDir::setCurrent(m_folder->path()));
    m_main = std::make_unique<MainWindow>();
    putEntries(*m_main, {{"Smith", "John", "555"}});
    entryList(*m_main)->setListIndex(0);
    showActive(*m_main);
}

void TestAccessibility::cleanup()
{
    m_main.reset();
    QDir::setCurrent(m_savedCurrent);
    m_folder.reset();
}

std::unique_ptr<QDialog> TestAccessibility::openDialog(const QString& name)
{
    EntryList& list = *entryList(*m_main);
    std::unique_ptr<QDialog> dialog;
    if (name == "AddForm")
        dialog = std::make_unique<AddForm>(list, m_main.get());
    else if (name == "EditForm")
        dialog = std::make_unique<EditForm>(list.itemText(list.listIndex()), m_main.get());
    else if (name == "FindForm")
        dialog = std::make_unique<FindForm>(list, Search{}, m_main.get());
    else if (name == "FileBox")
        dialog = std::make_unique<FileBox>(
            FileBoxOptions{QStringLiteral("Open a Callvista"), QStringLiteral("Open"), false,
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

    QTest::newRow("picture") << "Main" << "Image1" << "Callvista logo";
    QTest::newRow("entry list") << "Main" << "AdrList" << "Entries";
    QTest::newRow("Add keeps its caption") << "Main" << "AddCmd" << "Add";
    QTest::newRow("Edit keeps its caption") << "Main" << "EditCmd" << "Edit";
    QTest::newRow("Delete keeps its caption") << "Main" << "DelCmd" << "Delete";
    QTest::newRow("Find keeps its caption") << "Main" << "FindCmd" << "Find";
    QTest::newRow("name box, from its label") << "FileBox" << "boxFileName" << "FileName:";
    QTest::newRow("folder list") << "FileBox" << "boxDir" << "Folders";
    QTest::newRow("file list") << "FileBox" << "boxFile" << "Files";
    QTest::newRow("Family, from its label") << "AddForm" << "Family" << "Family Name:";
    QTest::newRow("Phone, from its label") << "FindForm" << "Phone" << "Phone No:";
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

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
