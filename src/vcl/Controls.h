#pragma once

#include "vcl/Classes.h"

// A component with a place and a size on the screen.
class TControl : public TComponent {
protected:
    struct TBounds {
        int Left, Top, Width, Height;
    };
    virtual TBounds GetBounds() const = 0;

private:
    int GetLeft() const { return GetBounds().Left; }
    int GetTop() const { return GetBounds().Top; }
    int GetWidth() const { return GetBounds().Width; }
    int GetHeight() const { return GetBounds().Height; }
    void SetLeft(int Value);
    void SetTop(int Value);
    void SetWidth(int Value);
    void SetHeight(int Value);

public:
    using TComponent::TComponent;

    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) = 0;

    Property<TControl, int, &TControl::GetLeft, &TControl::SetLeft> Left{this};
    Property<TControl, int, &TControl::GetTop, &TControl::SetTop> Top{this};
    Property<TControl, int, &TControl::GetWidth, &TControl::SetWidth> Width{this};
    Property<TControl, int, &TControl::GetHeight, &TControl::SetHeight> Height{this};

    void ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader) override;
};
