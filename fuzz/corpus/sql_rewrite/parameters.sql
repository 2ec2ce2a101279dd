insert into P values (:a, :b_2, '10:30', "x:y", [c:d]) -- :e
