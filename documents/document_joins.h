// The joins that the document emulations share: the document with its
// sender's and recipient's addresses and its origin and destination cities.
#pragma once

#include <string>

namespace tmxcnh {

inline std::string DocumentJoins() {
  return std::string(" FROM DOCTO_TRANSPORTE DOC , ") + " VENDERECO_PESSOA REM , " +
         " VENDERECO_PESSOA DES , " + " MUNICIPIO ORI , " + " MUNICIPIO DET " +
         " WHERE REM.ENDERECO_PESSOA_ID = DOC.END_REMETENTE_ID " +
         " AND DES.ENDERECO_PESSOA_ID = DOC.END_DESTINATARIO_ID " +
         " AND ORI.MUNICIPIO_ID = DOC.ORIGEM_ID " + " AND DET.MUNICIPIO_ID = DOC.DESTINO_ID ";
}

}  // namespace tmxcnh
