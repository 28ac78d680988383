#include "auto_object_logger.h"
#include <cstdlib>
#include <cxxabi.h>

std::string DemangledTypeName(const char* name)
{
    int status = 0;
    char* plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = (status == 0 && plain) ? plain : name;
    std::free(plain);
    return result;
}
