#pragma once

#include <type_traits>
#include <utility>

// A component property as the library's users write it: reading it calls
// the owner's getter, assigning to it calls the owner's setter, so that
// `ClientHeight = Image1->Height;` resizes the window at once.
//
// Getter and Setter are member-function pointers of Owner; a property
// without a setter is read-only.  A property is bound to its owner for
// life and cannot be copied: assigning one property to another assigns the
// value.
template <class Owner, class T, auto Getter, auto Setter = nullptr>
class Property {
public:
    explicit Property(Owner* owner) : owner_(owner) {}
    Property(const Property&) = delete;

    Property& operator=(const Property& other)
        requires(!std::is_null_pointer_v<decltype(Setter)>)
    {
        return *this = static_cast<T>(other);
    }

    Property& operator=(T value)
        requires(!std::is_null_pointer_v<decltype(Setter)>)
    {
        (owner_->*Setter)(std::move(value));
        return *this;
    }

    operator T() const { return (owner_->*Getter)(); }

    T operator->() const
        requires std::is_pointer_v<T>
    {
        return (owner_->*Getter)();
    }

private:
    Owner* const owner_;
};
