#pragma once

namespace halvora {

// Opens /dev/null onto any of the standard descriptors 0, 1 and 2 that is closed, so no file, device
// or display connection the program opens later can land there and be closed as if it were one of
// them. Call first thing in main().
void keepStandardDescriptorsOpen();

} // namespace halvora
