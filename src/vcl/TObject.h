#pragma once

// The root of the component library's class tree.  It carries nothing but a
// virtual destructor, so it needs no toolkit and the converter core can
// derive from it.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject() = default;
};
