#include "dialogs/find_form.h"

#include "core/sorted_lines.h"
#include "core/vertical_stack.h"
#include "widgets/geometry.h"
#include "widgets/message_box.h"
#include "widgets/phone_edit.h"
#include "widgets/picture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace callvista {

FormTable FindForm::table()
{
    using enum ControlKind;
    // The object names are the design's (FindCmd, MatchCheck, Frame1): the
    // tests and the end-to-end scenarios find the controls by them. The
    // frame only outlines the options; the check boxes and Clear Fields lie
    // over it as controls of the form.
    QList<FormControl> controls = EntryFields::controls();
    controls.append({
        {"FindCmd", Button, {3480, 1680, 1092, 372}, 4, tr("Find Next")},
        {"Frame1", Frame, {360, 1440, 2892, 732}, 0, tr(" Options ")},
        {"MatchCheck", CheckBox, {720, 1680, 1452, 252}, 5, tr("&Match Case")},
        {"WholeCheck", CheckBox, {720, 1920, 1572, 192}, 6, tr("&Whole Word")},
        {"ClearCmd", Button, {2040, 1776, 1092, 300}, 7, tr("&Clear Fields")},
    });
    return {"FindForm", {5004, 2268}, controls};
}

FindForm::FindForm(const SortedLines& lines, int selectedRow, const Search& remembered,
                   QWidget* parent)
    : FormDialog(table(), FormFont::Design, parent)
    , m_lines(lines)
    , m_selectedRow(selectedRow)
    , m_lastFound(remembered)
    , m_fields(controls())
    , m_findButton(controls().get<QPushButton>("FindCmd"))
    , m_matchCaseBox(controls().get<QCheckBox>("MatchCheck"))
    , m_wholeWordBox(controls().get<QCheckBox>("WholeCheck"))
    , m_clearButton(controls().get<QPushButton>("ClearCmd"))
{
    setWindowTitle(tr("Find an Item"));
    setWindowIcon(pictureIcon(QStringLiteral(":/icons/find.png")));
    setButtons(m_findButton);

    auto* frame = controls().get<QGroupBox>("Frame1");
    // Read aloud as the options it groups, without the caption's padding.
    frame->setAccessibleName(tr("Options"));
    // The caption stands in the frame's top line, not above the frame.
    frame->setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 6px; top: 0px; }"));
    placeOptions(*frame);
    // Moved into the frame, the options left the tab order.
    chainTabOrder(controls());
    QPalette palette = m_clearButton->palette();
    palette.setColor(QPalette::Button, QColor(224, 224, 224));
    m_clearButton->setPalette(palette);
    m_clearButton->setAutoFillBackground(true);

    const QList<QLineEdit*> boxes{m_fields.family(), m_fields.shortName(), m_fields.phone()};
    for (QLineEdit* box : boxes)
        connect(box, &QLineEdit::textChanged, this, &FindForm::updateFindButton);
    connect(m_findButton, &QPushButton::clicked, this, &FindForm::findNext);
    connect(m_clearButton, &QPushButton::clicked, this, &FindForm::clearFields);

    // Setting the texts runs the enabling rule, so "Find Next" ends up
    // enabled exactly when a remembered criterion is not blank.
    m_findButton->setEnabled(false);
    m_fields.setTexts(remembered.criteria.family, remembered.criteria.shortName,
                      remembered.criteria.phone);
    m_matchCaseBox->setChecked(remembered.options.matchCase);
    m_wholeWordBox->setChecked(remembered.options.wholeWord);
}

void FindForm::placeOptions(QGroupBox& frame)
{
    // Where the style draws a check box taller than the design's height,
    // the two would overlap and the lower one run into the frame: they keep
    // their order and left edge and are stacked inside the frame below its
    // caption, each as wide as its box and caption, clear of Clear Fields.
    const QList<QCheckBox*> checks{m_matchCaseBox, m_wholeWordBox};
    QList<VerticalExtent> extents;
    for (const QCheckBox* check : checks)
        extents.append({check->y(), std::max(check->height(), checkBoxHeight(*check))});
    const QRect area = groupBoxContentsRect(frame);
    const QList<int> tops = stackVertically(extents, area.top(), area.bottom() + 1);
    for (qsizetype i = 0; i < checks.size(); ++i)
        checks[i]->setGeometry(checks[i]->x(), tops[i], checks[i]->sizeHint().width(),
                               extents[i].height);
    // The frame holds them for assistive technology as it does on screen:
    // it becomes their parent, and they stay where they are on the form.
    for (QCheckBox* check : checks) {
        const QPoint inFrame = check->pos() - frame.pos();
        check->setParent(&frame);
        check->move(inFrame);
    }
}

void FindForm::updateFindButton()
{
    m_findButton->setEnabled(m_fields.anyFilled());
}

Search FindForm::typedSearch() const
{
    return {{m_fields.family()->text(), m_fields.shortName()->text(), m_fields.phone()->text()},
            {m_matchCaseBox->isChecked(), m_wholeWordBox->isChecked()}};
}

void FindForm::findNext()
{
    Search search = typedSearch();
    const int found = findEntry(m_lines, m_selectedRow, search);
    if (found < 0) {
        showMessage(this, tr("Not Found Any Match!"), tr("Find Message"));
        return;
    }
    search.criteria = {trimSpaces(search.criteria.family), trimSpaces(search.criteria.shortName),
                       trimSpaces(search.criteria.phone)};
    m_lastFound = search;
    m_selectedRow = found;
    emit entryFound(found);
}

void FindForm::clearFields()
{
    m_fields.clear();
}

} // namespace callvista
