#pragma once

#include <QString>

namespace ql {

struct Context;

// The common error routine (MostraErro): when the first character of TipoLog is "M", shows
// "Ocorreu o erro: " + message with the exclamation icon, titled TituloMensagem followed
// directly by the procedure name; otherwise shows nothing.
void MostraErro(Context& ctx, const QString& procedimento, const QString& mensagem);

// The one table of run-time errors the handlers report, each number with its one Portuguese
// description: 5 "Argumento ou chamada de procedimento inválida", 6 "Estouro", 7 "Memória
// insuficiente", 9 "Subscrito fora do intervalo", 11 "Divisão por zero", 13 "Tipos
// incompatíveis", 51 "Erro interno", 62 "Entrada após o final do arquivo", 75 "Erro de
// caminho/arquivo". A number outside the table is described as 51 is.
QString DescricaoErro(int numero);

// Text an error handler passes for an unexpected failure: number, " - ", description
// ("6 - Estouro").
QString TextoErro(int numero);

// The same followed by ": " and what the failure concerns, when there is something to say
// ("75 - Erro de caminho/arquivo: /srv/loja/UP.S3A").
QString TextoErroDetalhado(int numero, const QString& detalhe);

}  // namespace ql
