#include "widgets/picture.h"
#include "widgets/program_style.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace callvista;

namespace {

#ifdef Q_OS_LINUX
// The image plugins mapped into this process, by file name.
QStringList mappedImagePlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {QStringLiteral("<unreadable>")};
    QStringList plugins;
    for (const QByteArray& line : maps.readAll().split('\n'))
        if (line.contains("/imageformats/"))
            plugins.append(QString::fromLocal8Bit(line.mid(line.lastIndexOf('/') + 1)));
    plugins.removeDuplicates();
    return plugins;
}
#endif

QImage iconImage(const QIcon& icon, int side)
{
    return icon.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::unique_ptr<QStyle> fusion()
{
    return std::unique_ptr<QStyle>(QStyleFactory::create(QStringLiteral("Fusion")));
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    // First: it needs a process that has loaded no image plugin yet.
    void startsWithoutImagePlugins();
    void picturesAreRead_data();
    void picturesAreRead();
    void missingPictureIsNull();
    void extensionArrowIsThePlatformStyles_data();
    void extensionArrowIsThePlatformStyles();
    void arrowOutlivesItsStyle();
    void otherIconsPassThrough();
    void menuBarThatDoesNotFitShowsTheArrow();
};

void TestPictures::startsWithoutImagePlugins()
{
#ifndef Q_OS_LINUX
    QSKIP("reads the process's mappings from /proc");
#else
    QVERIFY2(mappedImagePlugins().isEmpty(), qPrintable(mappedImagePlugins().join(u' ')));
    QApplication::setStyle(new ProgramStyle(fusion().release()));
    // What the main window does at start: a menu bar, icons, a picture.
    QWidget window;
    auto* bar = new QMenuBar(&window);
    bar->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&New"));
    auto* button = new QToolButton(&window);
    button->setIcon(pictureIcon(QStringLiteral(":/icons/add.png")));
    window.setWindowIcon(pictureIcon(QStringLiteral(":/icons/callvista.png")));
    QVERIFY(!picture(QStringLiteral(":/images/logo.png")).isNull());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QStringList loaded = mappedImagePlugins();
    QVERIFY2(loaded.isEmpty(), qPrintable(loaded.join(u' ')));
#endif
}

void TestPictures::picturesAreRead_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const char* icon : {"callvista", "add", "edit", "delete", "find"})
        QTest::newRow(icon) << QStringLiteral(":/icons/%1.png").arg(QLatin1String(icon))
                            << QSize(32, 32);
    QTest::newRow("logo") << QStringLiteral(":/images/logo.png") << QSize(280, 73);
}

void TestPictures::picturesAreRead()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QPixmap read = picture(path);
    QCOMPARE(read.size(), size);
    // The same pixels as Qt's own reading, which guesses the format.
    QCOMPARE(read.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    QCOMPARE(iconImage(pictureIcon(path), 22), iconImage(QIcon(path), 22));
}

void TestPictures::missingPictureIsNull()
{
    // Qt's reader says twice that there is no such file.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not open")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not open")));
    QVERIFY(picture(QStringLiteral(":/icons/missing.png")).isNull());
}

void TestPictures::extensionArrowIsThePlatformStyles_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::newRow("horizontal") << int(QStyle::SP_ToolBarHorizontalExtensionButton)
                                << Qt::LeftToRight;
    QTest::newRow("horizontal, right to left")
        << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::RightToLeft;
    QTest::newRow("vertical") << int(QStyle::SP_ToolBarVerticalExtensionButton) << Qt::LeftToRight;
}

void TestPictures::extensionArrowIsThePlatformStyles()
{
    QFETCH(int, which);
    QFETCH(Qt::LayoutDirection, direction);
    const auto icon = QStyle::StandardPixmap(which);
    const ProgramStyle style(fusion().release());
    const std::unique_ptr<QStyle> platform = fusion();
    QStyleOption option;
    option.direction = direction;
    const QIcon deferred = style.standardIcon(icon, &option);
    const QIcon own = platform->standardIcon(icon, &option);
    QVERIFY(!deferred.isNull());
    for (int side : {16, 32})
        QCOMPARE(iconImage(deferred, side), iconImage(own, side));
    QCOMPARE(deferred.actualSize(QSize(64, 64)), own.actualSize(QSize(64, 64)));
}

void TestPictures::arrowOutlivesItsStyle()
{
    const std::unique_ptr<QStyle> platform = fusion();
    const auto which = QStyle::SP_ToolBarHorizontalExtensionButton;
    QIcon drawn;
    QIcon neverDrawn;
    {
        const ProgramStyle style(fusion().release());
        drawn = style.standardIcon(which);
        neverDrawn = style.standardIcon(which);
        QCOMPARE(iconImage(drawn, 16), iconImage(platform->standardIcon(which), 16));
    }
    // Drawn once, the arrow is kept; never drawn, it has no style left to
    // ask and draws nothing, without touching the style that is gone.
    QCOMPARE(iconImage(drawn, 16), iconImage(platform->standardIcon(which), 16));
    QVERIFY(neverDrawn.pixmap(16).isNull());
}

void TestPictures::otherIconsPassThrough()
{
    const ProgramStyle style(fusion().release());
    const std::unique_ptr<QStyle> platform = fusion();
    for (auto icon : {QStyle::SP_MessageBoxWarning, QStyle::SP_DirIcon, QStyle::SP_FileIcon})
        QCOMPARE(iconImage(style.standardIcon(icon), 32),
                 iconImage(platform->standardIcon(icon), 32));
}

void TestPictures::menuBarThatDoesNotFitShowsTheArrow()
{
    QApplication::setStyle(new ProgramStyle(fusion().release()));
    QWidget window;
    auto* bar = new QMenuBar(&window);
    for (int i = 0; i < 12; ++i)
        bar->addMenu(QStringLiteral("Menu %1").arg(i));
    bar->setFixedWidth(120);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* arrow = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
    QVERIFY(arrow);
    QTRY_VERIFY(arrow->isVisible());
    const std::unique_ptr<QStyle> platform = fusion();
    QCOMPARE(iconImage(arrow->icon(), 16),
             iconImage(platform->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton), 16));
}

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
