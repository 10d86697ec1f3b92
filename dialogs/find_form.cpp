#include "dialogs/find_form.h"

#include "app/modal.h"
#include "app/adr_list.h"
#include "app/geometry.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "core/entry_match.h"
#include "dialogs/phone_edit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace callvista {

namespace {

QCheckBox* makeCheck(QWidget* form, const QString& name, const QString& caption, int top,
                     int width, int height)
{
    auto* check = new QCheckBox(caption, form);
    check->setObjectName(name);
    placeInTwips(check, 720, top, width, height);
    return check;
}

} // namespace

FindForm::FindForm(Main& main)
    : QDialog(&main, dialogWindowFlags())
    , m_main(main)
    , m_fields(this)
{
    setObjectName(QStringLiteral("FindForm"));
    setWindowTitle(tr("Find an Item"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/find.png")));
    setFixedSize(twipsRect(0, 0, 5004, 2268).size());

    m_findCmd =
        makeFormButton(this, QStringLiteral("FindCmd"), tr("Find Next"), 3480, 1680, 1092, 372);
    m_findCmd->setDefault(true);

    // The frame only outlines the options; the check boxes and Clear Fields
    // lie over it as controls of the form.
    auto* frame = new QGroupBox(tr(" Options "), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    placeInTwips(frame, 360, 1440, 2892, 732);
    // The caption stands in the frame's top line, not above the frame.
    frame->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; top: 0px; }"));
    m_matchCheck =
        makeCheck(this, QStringLiteral("MatchCheck"), tr("&Match Case"), 1680, 1452, 252);
    m_wholeCheck =
        makeCheck(this, QStringLiteral("WholeCheck"), tr("&Whole Word"), 1920, 1572, 192);
    m_clearCmd = makeFormButton(this, QStringLiteral("ClearCmd"), tr("&Clear Fields"), 2040, 1776,
                                1092, 300);
    QPalette palette = m_clearCmd->palette();
    palette.setColor(QPalette::Button, QColor(224, 224, 224));
    m_clearCmd->setPalette(palette);
    m_clearCmd->setAutoFillBackground(true);

    m_fields.chainTabOrder({m_findCmd, m_matchCheck, m_wholeCheck, m_clearCmd});

    // Key preview: the form sees every key before the control with the focus.
    const QList<QWidget*> controls{m_fields.family(), m_fields.shortName(), m_fields.phone(),
                                   m_findCmd, m_matchCheck, m_wholeCheck, m_clearCmd};
    for (QWidget* control : controls)
        control->installEventFilter(this);

    const QList<QLineEdit*> boxes{m_fields.family(), m_fields.shortName(), m_fields.phone()};
    for (QLineEdit* box : boxes)
        connect(box, &QLineEdit::textChanged, this, &FindForm::updateFindCmd);
    connect(m_findCmd, &QPushButton::clicked, this, &FindForm::findCmdClick);
    connect(m_clearCmd, &QPushButton::clicked, this, &FindForm::clearCmdClick);
    load();
}

void FindForm::load()
{
    m_findCmd->setEnabled(false);
    m_fields.family()->setText(m_main.find_fn);
    m_fields.shortName()->setText(m_main.find_sn);
    m_fields.phone()->setText(m_main.find_pn);
    m_matchCheck->setChecked(m_main.find_match != 0);
    m_wholeCheck->setChecked(m_main.find_whole != 0);
}

void FindForm::updateFindCmd()
{
    m_findCmd->setEnabled(m_fields.anyFilled());
}

qint16 FindForm::FindItemIndex(QString family, QString shortName, QString phone) const
{
    const AdrList* list = m_main.adrList();
    const MatchOptions options{m_matchCheck->isChecked(), m_wholeCheck->isChecked()};
    return findEntry(list->items(), list->listIndex(),
                     {std::move(family), std::move(shortName), std::move(phone)}, options,
                     m_fields.widths());
}

void FindForm::findCmdClick()
{
    const qint16 found = FindItemIndex(m_fields.family()->text(), m_fields.shortName()->text(),
                                       m_fields.phone()->text());
    if (found < 0) {
        showMessage(this, tr("Not Found Any Match!"), tr("Find Message"));
        return;
    }
    m_main.find_fn = trimSpaces(m_fields.family()->text());
    m_main.find_sn = trimSpaces(m_fields.shortName()->text());
    m_main.find_pn = trimSpaces(m_fields.phone()->text());
    m_main.find_match = m_matchCheck->isChecked() ? 1 : 0;
    m_main.find_whole = m_wholeCheck->isChecked() ? 1 : 0;
    m_main.adrList()->setListIndex(found);
}

void FindForm::clearCmdClick()
{
    m_fields.family()->clear();
    m_fields.shortName()->clear();
    m_fields.phone()->clear();
}

bool FindForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace callvista
