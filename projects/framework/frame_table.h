// Creating the components of a project from its frame table: each row's
// class is created, and the project becomes its command partner (held by
// the component without a reference).
#pragma once
#include "project_type.h"
#include <unknwn.h>
#include <string>

// Where the created component of each role goes.
class IFrameTableTarget {
public:
    virtual IUnknown** Member(FrameRole role) = 0;
protected:
    ~IFrameTableTarget() = default;
};

// Creates the rows in order into their members and partners each with
// `project`. At the first failure it shows the failure box (without owner,
// the type's label as caption, the stop icon) and returns that HRESULT; the
// components already made stay in their members.
HRESULT CreateFrameTable(const ProjectTypeInfo& type, IFrameTableTarget& target, IUnknown* project);

// The text of the failure box.
std::string FrameTableFailureText(const char* step, HRESULT hr, const char* label);
