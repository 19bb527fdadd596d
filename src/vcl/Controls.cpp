#include "vcl/Controls.h"

#include "vcl/FormReader.h"

void TControl::SetLeft(int Value)
{
    const TBounds b = GetBounds();
    SetBounds(Value, b.Top, b.Width, b.Height);
}

void TControl::SetTop(int Value)
{
    const TBounds b = GetBounds();
    SetBounds(b.Left, Value, b.Width, b.Height);
}

void TControl::SetWidth(int Value)
{
    const TBounds b = GetBounds();
    SetBounds(b.Left, b.Top, Value, b.Height);
}

void TControl::SetHeight(int Value)
{
    const TBounds b = GetBounds();
    SetBounds(b.Left, b.Top, b.Width, Value);
}

namespace {

const PropertyEntry<TControl> kControlProperties[] = {
    {"Left", [](TControl& c, const TFormValue& v, TFormReader&) { c.Left = v.AsInteger(); }},
    {"Top", [](TControl& c, const TFormValue& v, TFormReader&) { c.Top = v.AsInteger(); }},
    {"Width", [](TControl& c, const TFormValue& v, TFormReader&) { c.Width = v.AsInteger(); }},
    {"Height", [](TControl& c, const TFormValue& v, TFormReader&) { c.Height = v.AsInteger(); }},
};

}  // namespace

void TControl::ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader)
{
    if (!ReadFromTable(kControlProperties, *this, PropName, Value, Reader))
        TComponent::ReadProperty(PropName, Value, Reader);
}
