// What the XML data packet writer and reader agree on beyond the element names.
#pragma once

#include <cstdint>

namespace valdrin {

// The change state of an appended row: the RowState attribute of every logged row
// and the third number of its CHANGE_LOG triple "<row number> 0 4" (row numbers
// count from 1 in packet order). The reader takes any RowState as a logged row.
inline constexpr uint32_t kAppendedRowState = 4;

} // namespace valdrin
