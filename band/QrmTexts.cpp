#include "band/QrmTexts.h"

QrmTexts::QrmTexts(uint64_t seed, uint64_t stream) : random(seed, stream), calls(random.Next()) {
    ownCall = calls.Next();
    serial = random.Whole(1, 400);
}

std::string QrmTexts::Next() {
    const std::string number = std::to_string(serial++);
    switch (random.Whole(0, 4)) {
    case 0:
        return "CQ CQ DE " + ownCall + " " + ownCall + " K";
    case 1:
        return "CQ TEST " + ownCall + " " + ownCall + " TEST";
    case 2:
        return calls.Next() + " 5NN " + number;
    case 3:
        return "TU " + ownCall + " TEST";
    default:
        return calls.Next() + " DE " + ownCall + " 599 " + number + " K";
    }
}
