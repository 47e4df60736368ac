// TSkoda120Car: the Skoda 120, a small rear-engined saloon (car type 7).
#pragma once

#include "cars/Car.h"

class TSkoda120Car : public TModelCar {
  public:
    TSkoda120Car(TEngine& engine, const TCellWords& cells, int playerNumber);
    // Unlike the other models, it silences its engine channel when it goes.
    ~TSkoda120Car() override;
};
