#pragma once
/// @file
/// Something a person can be told to do (again): each face names it its own way.

namespace pw {

/// The window's button caption and the command line's words for one action; a message that
/// tells a person what to press or type gets the name through its Reporter (Reporter::Name).
struct Action {
  const char* Caption;
  const char* Command;
};

}  // namespace pw
