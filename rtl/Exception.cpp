#include "rtl/Exception.h"

#include <utility>

namespace rtl {

Exception::Exception(String message) : message_(std::move(message)), utf8_(Utf8Encode(message_)) {}

EFCreateError::EFCreateError(const String& path, const String& reason)
    : Exception(u"Impossible de créer le fichier \"" + path + u"\". " + reason) {}

EFOpenError::EFOpenError(const String& path, const String& reason)
    : Exception(u"Impossible d'ouvrir le fichier \"" + path + u"\". " + reason) {}

EResNotFound::EResNotFound(const String& name)
    : Exception(u"Ressource " + name + u" non trouvée") {}

EListError::EListError(int64_t index)
    : Exception(u"Index de liste hors limites (" + IntToStr(index) + u")") {}

EConvertError::EConvertError(const String& text)
    : Exception(u"'" + text + u"' n'est pas une valeur entière correcte") {}

EOutOfMemory::EOutOfMemory() : Exception(u"Mémoire insuffisante") {}

EReadError::EReadError() : Exception(u"Erreur de lecture du flux") {}

EWriteError::EWriteError() : Exception(u"Erreur d'écriture du flux") {}

}  // namespace rtl
