// What a host in trouble does to a plug-in: a stem-format query that fails, and blocks longer
// than 65536 frames. The outputs must be written all the same.
#include <string>

#include "host/validator/Validation.h"

namespace tbvalidate {

void CheckHostTrouble(Validation& v) {
  std::string error;
  std::unique_ptr<ValidatorInsert> insert = v.NewInsert(2, 48000.0, error);
  // A format without such queries is played the same blocks with nothing failing.
  const bool queries = insert && insert->FailHostQueries(false);
  const std::string check = queries
                                ? "every output written when the stem-format query fails and for blocks over 65536 frames"
                                : "every output written for blocks over 65536 frames";
  v.Begin(check);
  if (!insert) return v.Report().Fail(check, error);
  std::string problem = v.Play(*insert, Signal::kNoise, 2048, 512, "");
  const std::string failing = insert->FailHostQueries(true) ? "query failing" : "";
  if (problem.empty()) problem = v.Play(*insert, Signal::kNoise, 2048, 512, failing);
  if (problem.empty()) problem = v.PlayBlock(*insert, Signal::kNoise, Validation::kMaxBlock, failing);
  insert->FailHostQueries(false);
  if (problem.empty()) problem = v.PlayBlock(*insert, Signal::kSquare, Validation::kMaxBlock, "");
  v.Report().Record(check, problem, "blocks of 512 and " + std::to_string(Validation::kMaxBlock) + " frames" +
                                        (queries ? " with the query failing and answered" : ""));
}

}  // namespace tbvalidate
