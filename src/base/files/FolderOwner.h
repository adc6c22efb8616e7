#pragma once

#include <QString>

namespace kestrova {

// Gives the file to the owner and group of its folder when the administrator writes
// into the folder of a service user: a settings file that root made and only root
// may read would keep the service from ever reading it. Nothing to do for a user
// writing into a folder of his own. The German reason on failure, else empty.
QString handToFolderOwner(const QString& file, const QString& folder);

} // namespace kestrova
