#include "catalogue/reports/vtlsimplecontainer.h"

namespace tv {

VTLSimpleContainer::VTLSimpleContainer(QWidget* parent) : QWidget(parent) { InitProperties(); }

void VTLSimpleContainer::InitProperties()
{
    surface_ = VTLSurface();
    surface_.ApplyTo(this);
}

void VTLSimpleContainer::ReadProperties(const PropertyBag& bag)
{
    surface_.Read(bag);
    surface_.ApplyTo(this);
}

void VTLSimpleContainer::WriteProperties(PropertyBag& bag) const { surface_.Write(bag); }

void VTLSimpleContainer::setBackColor(uint32_t color)
{
    surface_.backColor = color;
    surface_.ApplyTo(this);
    PropertyChanged.raise(QStringLiteral("BackColor"));
}

void VTLSimpleContainer::fillChildren()
{
    for (QObject* child : children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow()) w->setGeometry(rect());
    update();
}

void VTLSimpleContainer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fillChildren();
}

void VTLSimpleContainer::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    fillChildren();
}

} // namespace tv
