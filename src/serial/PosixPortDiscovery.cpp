// Port discovery on Linux: the port list of the COM namespace (ports folder and serial hardware).

#include "serial/PortList.h"
#include "serial/PosixComNamespace.h"

namespace rv {

std::string ReadPortList() {
    return ComNamespaceList(DefaultComNamespaceRoots());
}

}  // namespace rv
