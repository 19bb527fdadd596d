#pragma once

// Building a form from its stored description: each component class reads
// its own properties from a table of names, and the reader binds handler
// names and references to other components.

#include "vcl/Classes.h"
#include "vcl/FormDescription.h"

#include <functional>

class TForm;
struct TFormClass;

// What a component asks of the reader while it reads its properties.
class TFormReader {
public:
    // The form's published handler of that name; throws when there is none.
    virtual TNotifyEvent FindMethod(const AnsiString& MethodName) = 0;
    // Calls Assign with the form's component of that name once the whole
    // description has been read, so a property may name a component that
    // is described further down.
    virtual void FixupReference(const AnsiString& ComponentName, std::function<void(TComponent*)> Assign) = 0;

protected:
    ~TFormReader() = default;
};

// One row of a class's property table.
template <class C>
struct PropertyEntry {
    const char* Name;
    void (*Read)(C& component, const TFormValue& value, TFormReader& reader);
};

template <class C, std::size_t N>
bool ReadFromTable(const PropertyEntry<C> (&table)[N], C& component, const AnsiString& name,
                   const TFormValue& value, TFormReader& reader)
{
    for (const PropertyEntry<C>& entry : table) {
        if (name == entry.Name) {
            entry.Read(component, value, reader);
            return true;
        }
    }
    return false;
}

// Creates the components that the description nests in its root object,
// with the form as their owner, sets every property, binds the form
// class's published fields and handlers by name.  Throws an Exception
// naming the object, the property and the line on any mismatch.
void ReadForm(TForm& form, const TFormClass& formClass, const TFormObject& root);

// The description of a form class, kept among the program's resources under
// the class's name; throws when there is none.
AnsiString LoadFormResource(const AnsiString& className);
