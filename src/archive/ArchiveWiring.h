#pragma once

namespace kestrova {

class Services;

// Connects the recording list and its delete button to the archive's handlers.
void wireArchiveEvents(Services& program);

} // namespace kestrova
