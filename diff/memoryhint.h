#pragma once

#include <cstddef>

// Asks the kernel to back a large buffer that is about to be filled with huge
// pages: a report or a file of many megabytes is otherwise filled one page
// fault per 4 KB. A no-op for small buffers and where it is not supported.
void AdviseHugePages(const void* data, size_t size);
