#pragma once

#include "vcl/AnsiString.h"
#include "vcl/Property.h"
#include "vcl/SysUtils.h"
#include "vcl/TObject.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class TFormValue;
class TFormReader;

// An event handler: the component that raised the event is passed along.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// A component owns the components created with it as their owner and
// destroys them with itself, the last created first.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    AnsiString Name;

    TComponent* GetOwner() const { return owner_; }
    TComponent* FindComponent(const AnsiString& AName) const;

    // Where a non-visual component sat in the form designer; the running
    // program does not use it.
    int DesignLeft = 0;
    int DesignTop = 0;

    // Sets one property read from a stored form description; throws an
    // Exception naming the problem when the class has no such property or
    // the value does not fit it.
    virtual void ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader);

    // A component nested inside another in a form description: each class
    // decides what the nesting means (a control on a form, an item of a menu).
    virtual void SetParentComponent(TComponent* Parent);

protected:
    void DestroyComponents();

private:
    void InsertComponent(TComponent* component) { components_.push_back(component); }
    void RemoveComponent(TComponent* component);

    TComponent* owner_;
    std::vector<TComponent*> components_;
};

class EWriteError : public Exception {
public:
    using Exception::Exception;
};

// A sequence of bytes with a position, read and written in blocks.
class TStream : public TObject {
protected:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    virtual std::int64_t GetPosition() const = 0;
    virtual void SetPosition(std::int64_t Value) = 0;
    virtual std::int64_t GetSize() const = 0;

public:
    // Copy up to Count bytes and return how many were copied.
    virtual std::size_t Read(void* Buffer, std::size_t Count) = 0;
    virtual std::size_t Write(const void* Buffer, std::size_t Count) = 0;

    // Writes all Count bytes or raises EWriteError.
    void WriteBuffer(const void* Buffer, std::size_t Count);

    Property<TStream, std::int64_t, &TStream::GetPosition, &TStream::SetPosition> Position{this};
    Property<TStream, std::int64_t, &TStream::GetSize> Size{this};
};

// A stream held in memory, growing as it is written.
class TMemoryStream : public TStream {
    const void* GetMemory() const { return bytes_.data(); }

public:
    TMemoryStream() = default;

    std::size_t Read(void* Buffer, std::size_t Count) override;
    // Takes fewer bytes than asked (none) when the memory cannot grow.
    std::size_t Write(const void* Buffer, std::size_t Count) override;

    // The stream's bytes, valid until it is next written.
    Property<TMemoryStream, const void*, &TMemoryStream::GetMemory> Memory{this};

protected:
    std::int64_t GetPosition() const override { return static_cast<std::int64_t>(position_); }
    void SetPosition(std::int64_t Value) override;
    std::int64_t GetSize() const override { return static_cast<std::int64_t>(bytes_.size()); }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};
