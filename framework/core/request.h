#pragma once
// The mode a window procedure is called in, and the outcome it leaves for its caller.

namespace qly {

enum class Request { None = 0, Insert = 1, Change = 2, Delete = 3, Select = 4, Process = 5, View = 6 };
enum class Response { None = 0, Completed = 1, Cancelled = 2 };

} // namespace qly
