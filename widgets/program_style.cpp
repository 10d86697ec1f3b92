#include "widgets/program_style.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

namespace callvista {

namespace {

// An icon that asks the style for the real one when it is first used.
class DeferredStyleIcon : public QIconEngine
{
public:
    DeferredStyleIcon(const QStyle* style, QStyle::StandardPixmap which,
                      Qt::LayoutDirection direction)
        : m_style(style)
        , m_which(which)
        , m_direction(direction)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }

    QIconEngine* clone() const override
    {
        auto* copy = new DeferredStyleIcon(m_style, m_which, m_direction);
        copy->m_icon = m_icon;
        return copy;
    }

    QString key() const override { return QStringLiteral("DeferredStyleIcon"); }

private:
    const QIcon& icon()
    {
        if (m_icon.isNull() && m_style) {
            QStyleOption option;
            option.direction = m_direction;
            m_icon = m_style->standardIcon(m_which, &option);
        }
        return m_icon;
    }

    QPointer<const QStyle> m_style;
    QStyle::StandardPixmap m_which;
    Qt::LayoutDirection m_direction;
    QIcon m_icon;
};

} // namespace

ProgramStyle::ProgramStyle(QStyle* platformStyle)
    : QProxyStyle(platformStyle)
{
}

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const
{
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton) {
        const Qt::LayoutDirection direction =
            option ? option->direction
                   : (widget ? widget->layoutDirection() : QGuiApplication::layoutDirection());
        return QIcon(new DeferredStyleIcon(baseStyle(), icon, direction));
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

} // namespace callvista
