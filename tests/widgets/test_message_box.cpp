#include "widgets/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace callvista;

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void buildsTheBox_data();
    void buildsTheBox();
    void escapeAnswers_data();
    void escapeAnswers();
    void closeBoxOfYesNoIsRefused();
};

using Buttons = QMessageBox::StandardButtons;
Q_DECLARE_METATYPE(MessageButtons)
Q_DECLARE_METATYPE(std::optional<MessageAnswer>)

void TestMessageBox::buildsTheBox_data()
{
    QTest::addColumn<MessageButtons>("kind");
    QTest::addColumn<std::optional<MessageAnswer>>("asked");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");

    const std::optional<MessageAnswer> usual;
    QTest::newRow("ok") << MessageButtons::Ok << usual << int(QMessageBox::Ok)
                        << int(QMessageBox::Ok);
    QTest::newRow("yes no") << MessageButtons::YesNo << usual
                            << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Yes);
    QTest::newRow("yes no, no the default")
        << MessageButtons::YesNo << std::optional(MessageAnswer::No)
        << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::No);
    QTest::newRow("yes no cancel")
        << MessageButtons::YesNoCancel << usual
        << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) << int(QMessageBox::Yes);
}

void TestMessageBox::buildsTheBox()
{
    QFETCH(MessageButtons, kind);
    QFETCH(std::optional<MessageAnswer>, asked);
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);

    const auto box = buildMessageBox(
        nullptr, {"Are You Sure to Remove 'SMITH' ?", "Delete Confirmation", kind, asked});
    QCOMPARE(box->windowTitle(), QStringLiteral("Delete Confirmation"));
    QCOMPARE(box->text(), QStringLiteral("Are You Sure to Remove 'SMITH' ?"));
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(int(box->standardButtons()), buttons);
    QVERIFY(box->defaultButton());
    QCOMPARE(int(box->standardButton(box->defaultButton())), defaultButton);
}

void TestMessageBox::escapeAnswers_data()
{
    QTest::addColumn<MessageButtons>("kind");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("result");

    QTest::newRow("ok box closes with OK") << MessageButtons::Ok << true << int(QMessageBox::Ok);
    QTest::newRow("yes no box stays open") << MessageButtons::YesNo << false << -1;
    QTest::newRow("yes no cancel box cancels")
        << MessageButtons::YesNoCancel << true << int(QMessageBox::Cancel);
}

void TestMessageBox::escapeAnswers()
{
    QFETCH(MessageButtons, kind);
    QFETCH(bool, closes);
    QFETCH(int, result);

    const auto box = buildMessageBox(
        nullptr, {"Callvista is Changed, Do you want to save your changes?", "Alert", kind});
    int answer = -1;
    QObject::connect(box.get(), &QMessageBox::finished, [&](int code) { answer = code; });
    box->open();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QTest::keyClick(box.get(), Qt::Key_Escape);
    QCOMPARE(box->isVisible(), !closes);
    if (closes)
        QCOMPARE(answer, result);
    else
        QCOMPARE(answer, -1);
    if (box->isVisible()) {
        // Still answerable by its default button.
        QTest::keyClick(box.get(), Qt::Key_Return);
        QVERIFY(!box->isVisible());
        QCOMPARE(answer, int(QMessageBox::Yes));
    }
}

void TestMessageBox::closeBoxOfYesNoIsRefused()
{
    const auto yesNo = buildMessageBox(nullptr, {"Question", "Alert", MessageButtons::YesNo});
    QVERIFY(!yesNo->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(yesNo->windowFlags().testFlag(Qt::CustomizeWindowHint));
    const auto withCancel =
        buildMessageBox(nullptr, {"Question", "Alert", MessageButtons::YesNoCancel});
    QVERIFY(withCancel->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!withCancel->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

QTEST_MAIN(TestMessageBox)
#include "test_message_box.moc"
