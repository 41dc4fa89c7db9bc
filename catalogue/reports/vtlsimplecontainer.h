#pragma once

#include "catalogue/reports/vtlsplit.h"

#include <QWidget>

namespace tv {

class PropertyBag;

// A container whose child widgets each fill its whole area; several children lie on top of each
// other and the host decides, by their order and visibility, which one is seen.
// Owned by its parent widget.
class VTLSimpleContainer : public QWidget {
public:
    explicit VTLSimpleContainer(QWidget* parent = nullptr);

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    uint32_t BackColor() const { return surface_.backColor; }
    void setBackColor(uint32_t color);
    void Refresh() { update(); }

    // The name of a property the host changed (for the host's property bag).
    Event<QString> PropertyChanged;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fillChildren();

    VTLSurface surface_;
};

} // namespace tv
