// The source path every assertion of the branch physics and mesh reports.
#pragma once

namespace tree {
constexpr const char* kAssertSource = "source\\cpp\\Tree";
}
