#pragma once
// Pictures of the exporter's tree and the program icon: from the system icon theme where it
// has a fitting one, drawn otherwise.
#include <QIcon>

#include "exporter/zsource.h"

namespace zicons {

// One picture per node kind; amateur teams get a shirt of their own.
QIcon node(zexp::NodeKind kind, bool amateur = false);
QIcon program();

}  // namespace zicons
