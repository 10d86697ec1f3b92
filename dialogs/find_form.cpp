#include "dialogs/find_form.h"

#include "core/band_stack.h"
#include "widgets/drawn_size.h"
#include "widgets/entry_list.h"
#include "widgets/geometry.h"
#include "widgets/message_box.h"
#include "widgets/modal.h"
#include "widgets/phone_edit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

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

FindForm::FindForm(EntryList& list, const Search& remembered, QWidget* parent)
    : QDialog(parent, dialogWindowFlags())
    , m_list(list)
    , m_lastFound(remembered)
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
    // Read aloud as the options it groups, without the caption's padding.
    frame->setAccessibleName(tr("Options"));
    // The caption stands in the frame's top line, not above the frame.
    frame->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; top: 0px; }"));
    m_matchCheck =
        makeCheck(this, QStringLiteral("MatchCheck"), tr("&Match Case"), 1680, 1452, 252);
    m_wholeCheck =
        makeCheck(this, QStringLiteral("WholeCheck"), tr("&Whole Word"), 1920, 1572, 192);
    placeOptions(*frame);
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
    connect(m_findCmd, &QPushButton::clicked, this, &FindForm::findNext);
    connect(m_clearCmd, &QPushButton::clicked, this, &FindForm::clearFields);

    // Setting the texts runs the enabling rule, so "Find Next" ends up
    // enabled exactly when a remembered criterion is not blank.
    m_findCmd->setEnabled(false);
    m_fields.family()->setText(remembered.criteria.family);
    m_fields.shortName()->setText(remembered.criteria.shortName);
    m_fields.phone()->setText(remembered.criteria.phone);
    m_matchCheck->setChecked(remembered.options.matchCase);
    m_wholeCheck->setChecked(remembered.options.wholeWord);
}

void FindForm::placeOptions(QGroupBox& frame)
{
    // Where the style draws a check box taller than the design's height,
    // the two would overlap and the lower one run into the frame: they keep
    // their order and left edge and are stacked inside the frame below its
    // caption, each as wide as its box and caption, clear of Clear Fields.
    const QList<QCheckBox*> checks{m_matchCheck, m_wholeCheck};
    QList<Band> bands;
    for (const QCheckBox* check : checks)
        bands.append({check->y(), std::max(check->height(), wholeHeight(*check))});
    const QRect area = areaBelowCaption(frame);
    const QList<int> tops = stackBands(bands, area.top(), area.bottom() + 1);
    for (qsizetype i = 0; i < checks.size(); ++i)
        checks[i]->setGeometry(checks[i]->x(), tops[i], checks[i]->sizeHint().width(),
                               bands[i].height);
    // The frame holds them for assistive technology as it does on screen:
    // it becomes their parent, and they stay where they are on the form.
    for (QCheckBox* check : checks) {
        const QPoint inFrame = check->pos() - frame.pos();
        check->setParent(&frame);
        check->move(inFrame);
    }
}

void FindForm::updateFindCmd()
{
    m_findCmd->setEnabled(m_fields.anyFilled());
}

Search FindForm::typedSearch() const
{
    return {{m_fields.family()->text(), m_fields.shortName()->text(), m_fields.phone()->text()},
            {m_matchCheck->isChecked(), m_wholeCheck->isChecked()}};
}

void FindForm::findNext()
{
    Search search = typedSearch();
    const qint16 found = findEntry(m_list.lines(), m_list.listIndex(), search);
    if (found < 0) {
        showMessage(this, tr("Not Found Any Match!"), tr("Find Message"));
        return;
    }
    search.criteria = {trimSpaces(search.criteria.family), trimSpaces(search.criteria.shortName),
                       trimSpaces(search.criteria.phone)};
    m_lastFound = search;
    m_list.setListIndex(found);
}

void FindForm::clearFields()
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
