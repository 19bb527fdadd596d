#include "vcl/Classes.h"

#include "vcl/FormReader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

TComponent::TComponent(TComponent* AOwner) : owner_(AOwner)
{
    if (owner_ != nullptr)
        owner_->InsertComponent(this);
}

TComponent::~TComponent()
{
    DestroyComponents();
    if (owner_ != nullptr)
        owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents()
{
    // Each owned component takes itself off the list as it goes.
    while (!components_.empty())
        delete components_.back();
}

void TComponent::RemoveComponent(TComponent* component)
{
    components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const
{
    for (TComponent* component : components_)
        if (component->Name == AName)
            return component;
    return nullptr;
}

namespace {

// What every component has: a place in the form designer.
const PropertyEntry<TComponent> kComponentProperties[] = {
    {"Left", [](TComponent& c, const TFormValue& v, TFormReader&) { c.DesignLeft = v.AsInteger(); }},
    {"Top", [](TComponent& c, const TFormValue& v, TFormReader&) { c.DesignTop = v.AsInteger(); }},
};

}  // namespace

void TComponent::ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader)
{
    if (!ReadFromTable(kComponentProperties, *this, PropName, Value, Reader))
        throw Exception("property " + PropName + " does not exist");
}

void TComponent::SetParentComponent(TComponent*) {}

void TStream::WriteBuffer(const void* Buffer, std::size_t Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

std::size_t TMemoryStream::Read(void* Buffer, std::size_t Count)
{
    const std::size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    const std::size_t taken = std::min(Count, available);
    if (taken != 0)
        std::memcpy(Buffer, bytes_.data() + position_, taken);
    position_ += taken;
    return taken;
}

std::size_t TMemoryStream::Write(const void* Buffer, std::size_t Count)
{
    if (Count > std::numeric_limits<std::size_t>::max() - position_)
        return 0;
    const std::size_t end = position_ + Count;
    try {
        if (end > bytes_.size())
            bytes_.resize(end);
    } catch (const std::bad_alloc&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    }
    if (Count != 0)
        std::memcpy(bytes_.data() + position_, Buffer, Count);
    position_ = end;
    return Count;
}

void TMemoryStream::SetPosition(std::int64_t Value)
{
    // Positions past the end are allowed; writing there fills the gap with zeros.
    position_ = Value < 0 ? 0 : static_cast<std::size_t>(Value);
}
