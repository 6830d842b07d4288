// The state as a session keeps it: saved and restored in a new instance byte for byte, damaged
// chunks that change nothing that could not be read, and saves whatever the host left in the
// record's size field.
#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "host/validator/Validation.h"

namespace tbvalidate {
namespace {

using Bytes = std::vector<unsigned char>;
constexpr double kRate = 48000.0;

std::vector<double> Values(const ValidatorInsert& insert) {
  std::vector<double> values;
  for (const HostParam& param : insert.Params()) values.push_back(insert.Normalized(param.id));
  return values;
}

void Randomise(Validation& v, ValidatorInsert& insert) {
  for (const HostParam& param : insert.Params())
    if (!param.masterBypass) insert.Automate(param.id, v.RandomValue(param));
}

// Save, destroy, make a new instance, load, save again: the same bytes and the same values.
void CheckRoundTrip(Validation& v) {
  const std::string check = "state round trip";
  v.Begin(check);
  std::string problem;
  size_t size = 0;
  for (int round = 0; round < v.Plan().stateRoundTrips && problem.empty(); ++round) {
    std::string error;
    Bytes saved;
    std::vector<double> values;
    {
      std::unique_ptr<ValidatorInsert> first = v.NewInsert(2, kRate, error);
      if (!first) return v.Report().Fail(check, error);
      Randomise(v, *first);
      if (!first->SaveState(saved, error))
        return v.Report().Fail(check, "the state cannot be saved (" + error + ")");
      values = Values(*first);
    }
    std::unique_ptr<ValidatorInsert> second = v.NewInsert(2, kRate, error);
    if (!second) return v.Report().Fail(check, error);
    Bytes again;
    if (!second->LoadState(saved, error))
      problem = "a saved state is refused (" + error + ")";
    else if (!second->SaveState(again, error) || again != saved)
      problem = "the state saved after loading differs from the one loaded (round " + std::to_string(round + 1) + ")";
    else if (Values(*second) != values)
      problem = "the parameters after loading differ from those saved (round " + std::to_string(round + 1) + ")";
    size = saved.size();
  }
  v.Report().Record(check, problem, std::to_string(v.Plan().stateRoundTrips) + " random settings saved, restored in a "
                                        "new instance and saved again: identical " + std::to_string(size) + " bytes");
}

// A damaged chunk is refused and changes nothing, or is taken and changes only what it holds:
// every parameter keeps its value or takes the one it has in `intact` (the same chunk
// undamaged, where there is one), and every value is in range.
std::string LoadDamaged(ValidatorInsert& insert, const Bytes& damaged, int32_t declared, const Bytes& before,
                        const std::vector<double>& valuesBefore, const std::vector<double>* intact,
                        const std::string& what) {
  std::string error;
  const bool taken = insert.LoadState(damaged, error, declared);
  Bytes after;
  if (!insert.SaveState(after, error)) return what + ": the state cannot be saved afterwards";
  const std::vector<double> values = Values(insert);
  std::string problem;
  if (!taken) {
    if (after != before || values != valuesBefore) problem = what + " was refused but changed the state";
  } else {
    for (size_t i = 0; i < values.size() && problem.empty(); ++i) {
      if (!(values[i] >= 0.0 && values[i] <= 1.0))
        problem = what + " left parameter " + insert.Params()[i].id + " at " + std::to_string(values[i]);
      else if (intact && values[i] != valuesBefore[i] && values[i] != (*intact)[i])
        problem = what + " changed parameter " + insert.Params()[i].id + " to a value it does not hold";
    }
  }
  insert.LoadState(before, error);
  return problem;
}

void CheckDamaged(Validation& v) {
  const std::string check = "damaged states";
  v.Begin(check);
  std::string error;
  std::unique_ptr<ValidatorInsert> insert = v.NewInsert(2, kRate, error);
  if (!insert) return v.Report().Fail(check, error);

  // What a good chunk holds: saved from other settings, and what loading it gives.
  Randomise(v, *insert);
  Bytes good;
  insert->SaveState(good, error);
  insert->LoadState(good, error);
  const std::vector<double> goodValues = Values(*insert);
  Randomise(v, *insert);
  Bytes before;
  insert->SaveState(before, error);
  const std::vector<double> valuesBefore = Values(*insert);

  int tried = 0;
  std::string problem = LoadDamaged(*insert, good, 0, before, valuesBefore, nullptr, "an empty chunk");
  ++tried;
  for (size_t keep = 1; keep < good.size() && problem.empty(); ++keep) {
    if (!v.Plan().everyTruncation && keep % 16 != 1 && keep != good.size() - 1) continue;
    problem = LoadDamaged(*insert, Bytes(good.begin(), good.begin() + static_cast<long>(keep)), -1, before,
                          valuesBefore, &goodValues, "the first " + std::to_string(keep) + " bytes of a state");
    ++tried;
  }
  // One value of the good chunk damaged at a time: eight bytes of ones are a NaN.
  for (size_t at = good.size() >= 8 ? good.size() - 8 : 0; problem.empty(); at -= 8) {
    Bytes damaged = good;
    std::fill_n(damaged.begin() + static_cast<long>(at), std::min<size_t>(8, damaged.size() - at), 0xFF);
    problem = LoadDamaged(*insert, damaged, -1, before, valuesBefore, &goodValues,
                          "a state with bytes " + std::to_string(at) + " to " + std::to_string(at + 7) + " damaged");
    ++tried;
    if (at < 8) break;
  }
  std::uniform_int_distribution<int> byte(0, 255);
  for (int i = 0; i < v.Plan().randomChunks && problem.empty(); ++i) {
    Bytes noise(static_cast<size_t>(v.Plan().randomChunkBytes));
    for (unsigned char& b : noise) b = static_cast<unsigned char>(byte(v.Rng()));
    problem = LoadDamaged(*insert, noise, -1, before, valuesBefore, nullptr,
                          std::to_string(noise.size()) + " random bytes");
    ++tried;
  }
  if (problem.empty()) problem = v.Play(*insert, Signal::kNoise, 4096, 512, "afterwards");
  v.Report().Record(check, problem, std::to_string(tried) + " chunks (empty, truncated, with a damaged value, " +
                                        std::to_string(v.Plan().randomChunks) + " of " +
                                        std::to_string(v.Plan().randomChunkBytes) +
                                        " random bytes): none changed what it did not hold");
}

// Hosts fill the record's size field in their own ways before asking for the state.
void CheckSessionSave(Validation& v) {
  const std::string check = "a session save succeeds whatever the record's size field holds";
  v.Begin(check);
  std::string error;
  std::unique_ptr<ValidatorInsert> insert = v.NewInsert(2, kRate, error);
  if (!insert) return v.Report().Fail(check, error);
  Randomise(v, *insert);
  Bytes expected;
  if (!insert->SaveState(expected, error)) return v.Report().Fail(check, "the state cannot be saved");
  const int32_t size = static_cast<int32_t>(expected.size());
  std::string problem;
  for (int32_t prefilled : {0, 1, size / 2, size - 1, size, size + 100}) {
    Bytes saved;
    const bool saves = insert->SaveState(saved, error, prefilled);
    if (!saves || saved != expected) {
      problem = "with " + std::to_string(prefilled) + " in the size field the save " +
                (!saves ? "fails (" + error + ")" : "differs");
      break;
    }
  }
  v.Report().Record(check, problem, "0, 1, half, one short, exact and larger: the same " + std::to_string(size) +
                                        " bytes each time");
}

}  // namespace

void CheckState(Validation& v) {
  CheckRoundTrip(v);
  CheckDamaged(v);
  CheckSessionSave(v);
}

}  // namespace tbvalidate
