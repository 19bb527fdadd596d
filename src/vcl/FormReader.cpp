#include "vcl/FormReader.h"

#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

namespace {

template <class C>
TComponent* create(TComponent* owner)
{
    return new C(owner);
}

// The component classes a description may name.
struct ComponentClass {
    const char* name;
    TComponent* (*create)(TComponent* owner);
};

constexpr ComponentClass kComponentClasses[] = {
    {"TImage", create<TImage>},
    {"TMainMenu", create<TMainMenu>},
    {"TMenuItem", create<TMenuItem>},
    {"TOpenDialog", create<TOpenDialog>},
};

[[noreturn]] void fail(const TFormObject& object, const AnsiString& what)
{
    throw Exception("Error reading " + object.Name + " (line " + std::to_string(object.Line) + "): " + what);
}

class Reader final : public TFormReader {
public:
    Reader(TForm& form, const TFormClass& formClass) : form_(form), class_(formClass) {}

    void read(const TFormObject& root)
    {
        if (root.ClassName != class_.ClassName)
            fail(root, "the description is of " + root.ClassName + ", not of " + class_.ClassName);
        form_.Name = root.Name;
        readProperties(form_, root);
        for (const TFormObject& child : root.Children)
            readComponent(form_, child);
        resolveReferences();
    }

    TNotifyEvent FindMethod(const AnsiString& MethodName) override
    {
        for (const TPublishedMethod& method : class_.Methods)
            if (MethodName == method.Name)
                return method.Bind(form_);
        throw Exception(class_.ClassName + " has no published handler " + MethodName);
    }

    void FixupReference(const AnsiString& ComponentName, std::function<void(TComponent*)> Assign) override
    {
        fixups_.push_back({ComponentName, std::move(Assign), current_});
    }

private:
    struct Fixup {
        AnsiString name;
        std::function<void(TComponent*)> assign;
        const TFormObject* object;
    };

    void readComponent(TComponent& parent, const TFormObject& object)
    {
        const auto* cls = std::find_if(std::begin(kComponentClasses), std::end(kComponentClasses),
                                       [&](const ComponentClass& c) { return object.ClassName == c.name; });
        if (cls == std::end(kComponentClasses))
            fail(object, "class " + object.ClassName + " is not known");
        if (form_.FindComponent(object.Name) != nullptr)
            fail(object, "a component named " + object.Name + " already exists");
        TComponent* component = cls->create(&form_);
        component->Name = object.Name;
        bindField(*component, object);
        try {
            component->SetParentComponent(&parent);
        } catch (const Exception& e) {
            fail(object, e.Message);
        }
        readProperties(*component, object);
        for (const TFormObject& child : object.Children)
            readComponent(*component, child);
    }

    void bindField(TComponent& component, const TFormObject& object)
    {
        for (const TPublishedField& field : class_.Fields)
            if (object.Name == field.Name && !field.Bind(form_, &component))
                fail(object, "the published field " + object.Name + " is not of class " + object.ClassName);
    }

    void readProperties(TComponent& component, const TFormObject& object)
    {
        current_ = &object;
        for (const TFormObject::Assignment& assignment : object.Properties) {
            try {
                component.ReadProperty(assignment.Name, assignment.Value, *this);
            } catch (const Exception& e) {
                throw Exception("Error reading " + object.Name + "." + assignment.Name + " (line " +
                                std::to_string(assignment.Line) + "): " + e.Message);
            }
        }
    }

    void resolveReferences()
    {
        for (const Fixup& fixup : fixups_) {
            TComponent* component = form_.FindComponent(fixup.name);
            if (component == nullptr)
                fail(*fixup.object, "there is no component named " + fixup.name);
            try {
                fixup.assign(component);
            } catch (const Exception& e) {
                fail(*fixup.object, e.Message);
            }
        }
    }

    TForm& form_;
    const TFormClass& class_;
    std::vector<Fixup> fixups_;
    const TFormObject* current_ = nullptr;
};

}  // namespace

void ReadForm(TForm& form, const TFormClass& formClass, const TFormObject& root) { Reader(form, formClass).read(root); }

AnsiString LoadFormResource(const AnsiString& className)
{
    // Resources are named after the class in capitals, as the library kept them.
    AnsiString name = className;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    QFile file(QStringLiteral(":/forms/") + QString::fromStdString(name));
    if (!file.open(QIODevice::ReadOnly))
        throw Exception("Resource " + name + " not found");
    return file.readAll().toStdString();
}
