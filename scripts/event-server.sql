-- The event server's database: run once per database by scripts/event-server.sh, as a
-- superuser, with psql -v ON_ERROR_STOP=1. Safe to run again.
--
-- Three group roles, one per kind of station; a station's login user is a member of one:
--   halvex_tower         creates events, records passes, advances ladders, holds control
--   halvex_registration  reads everything, writes entries
--   halvex_display       reads everything; its only write is its own heartbeat
-- Each event lives in a schema of its own ("e" and its number), owned by halvex_tower: a tower
-- sets its role to halvex_tower before it creates or changes one, so any tower may carry it on.

DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'halvex_tower') THEN
        CREATE ROLE halvex_tower NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'halvex_registration') THEN
        CREATE ROLE halvex_registration NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'halvex_display') THEN
        CREATE ROLE halvex_display NOLOGIN;
    END IF;
END
$$;

REVOKE CREATE ON SCHEMA public FROM PUBLIC;
DO $$
BEGIN
    EXECUTE format('GRANT CREATE ON DATABASE %I TO halvex_tower', current_database());
    EXECUTE format('REVOKE CREATE, TEMPORARY ON DATABASE %I FROM PUBLIC', current_database());
END
$$;

CREATE SCHEMA IF NOT EXISTS halvex;
GRANT USAGE ON SCHEMA halvex TO halvex_tower, halvex_registration, halvex_display;

-- The events on the server, the newest last.
CREATE TABLE IF NOT EXISTS halvex.event_list (
    id SERIAL PRIMARY KEY,
    name VARCHAR(200) NOT NULL,
    event_date VARCHAR(10) NOT NULL,
    schema_name VARCHAR(40) NOT NULL UNIQUE,
    created TIMESTAMPTZ NOT NULL DEFAULT now());
GRANT SELECT ON halvex.event_list TO halvex_tower, halvex_registration, halvex_display;
GRANT INSERT ON halvex.event_list TO halvex_tower;
GRANT USAGE ON SEQUENCE halvex.event_list_id_seq TO halvex_tower;

-- Every station of an event and when it was last heard of.
CREATE TABLE IF NOT EXISTS halvex.station (
    event_schema VARCHAR(40) NOT NULL,
    name VARCHAR(100) NOT NULL,
    role VARCHAR(20) NOT NULL,
    last_seen TIMESTAMPTZ NOT NULL,
    PRIMARY KEY (event_schema, name));
GRANT SELECT ON halvex.station TO halvex_tower, halvex_registration, halvex_display;

-- Control of an event: the station that holds it, under which epoch, renewed when.
CREATE TABLE IF NOT EXISTS halvex.lease (
    event_schema VARCHAR(40) PRIMARY KEY,
    holder VARCHAR(100) NOT NULL,
    epoch INTEGER NOT NULL,
    renewed TIMESTAMPTZ NOT NULL);
-- Each move of control: the passes the station that lost it had sent by then are the last of
-- its epoch that count.
CREATE TABLE IF NOT EXISTS halvex.handover (
    event_schema VARCHAR(40) NOT NULL,
    epoch INTEGER NOT NULL,
    taken_by VARCHAR(100) NOT NULL,
    taken_from VARCHAR(100) NOT NULL,
    last_seq INTEGER NOT NULL,
    taken TIMESTAMPTZ NOT NULL,
    PRIMARY KEY (event_schema, epoch));
GRANT SELECT ON halvex.lease, halvex.handover TO halvex_tower, halvex_registration, halvex_display;
GRANT INSERT, UPDATE ON halvex.lease TO halvex_tower;
GRANT INSERT ON halvex.handover TO halvex_tower;

-- A station's heartbeat: the one write a display station makes. It answers false, and records
-- nothing, while another run of the program has beaten under the same station name in the last
-- 3 s: two PCs under one name would both hold control and number their passes alike. A tower
-- takes its name from any other kind of station, which records no passes.
ALTER TABLE halvex.station ADD COLUMN IF NOT EXISTS run_id VARCHAR(40) NOT NULL DEFAULT '';
DROP FUNCTION IF EXISTS halvex.heartbeat(TEXT, TEXT, TEXT);
CREATE OR REPLACE FUNCTION halvex.heartbeat(ev TEXT, me TEXT, my_role TEXT, my_run TEXT)
RETURNS BOOLEAN
LANGUAGE plpgsql SECURITY DEFINER SET search_path = halvex, pg_temp AS $$
BEGIN
    INSERT INTO halvex.station AS s (event_schema, name, role, last_seen, run_id)
    VALUES (ev, me, my_role, now(), my_run)
    ON CONFLICT (event_schema, name) DO UPDATE
        SET role = EXCLUDED.role, last_seen = now(), run_id = EXCLUDED.run_id
        WHERE s.run_id = EXCLUDED.run_id OR s.last_seen < now() - interval '3 seconds'
            OR (EXCLUDED.role = 'tower' AND s.role <> 'tower');
    RETURN FOUND;
END $$;
REVOKE ALL ON FUNCTION halvex.heartbeat(TEXT, TEXT, TEXT, TEXT) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION halvex.heartbeat(TEXT, TEXT, TEXT, TEXT)
    TO halvex_tower, halvex_registration, halvex_display;

-- Claims or renews control of an event for the station `me`. Held by another station, control
-- stays there unless `take` is true: then it moves and the epoch rises. Answers the holder and
-- the epoch after the call; the caller holds control when the holder is itself. It runs with
-- the tower's own rights: it reads the event's tables, which the towers own, so it must never
-- run as the owner of this script.
CREATE OR REPLACE FUNCTION halvex.claim_control(ev TEXT, me TEXT, take BOOLEAN)
RETURNS TABLE (holder TEXT, epoch INTEGER)
LANGUAGE plpgsql SECURITY INVOKER SET search_path = halvex, pg_temp AS $$
DECLARE
    current halvex.lease%ROWTYPE;
    sent INTEGER;
BEGIN
    SELECT * INTO current FROM halvex.lease l WHERE l.event_schema = ev FOR UPDATE;
    IF NOT FOUND THEN
        INSERT INTO halvex.lease VALUES (ev, me, 1, now());
        RETURN QUERY SELECT me, 1;
    ELSIF current.holder = me THEN
        UPDATE halvex.lease l SET renewed = now() WHERE l.event_schema = ev;
        RETURN QUERY SELECT me, current.epoch;
    ELSIF take THEN
        EXECUTE format('SELECT COALESCE(MAX(seq), 0) FROM %I.pass WHERE station = $1', ev)
            INTO sent USING current.holder;
        UPDATE halvex.lease l SET holder = me, epoch = current.epoch + 1, renewed = now()
            WHERE l.event_schema = ev;
        INSERT INTO halvex.handover VALUES (ev, current.epoch + 1, me, current.holder, sent, now());
        PERFORM pg_notify('halvex_' || ev, 'control');
        RETURN QUERY SELECT me, current.epoch + 1;
    ELSE
        RETURN QUERY SELECT current.holder::TEXT, current.epoch;
    END IF;
END
$$;
REVOKE ALL ON FUNCTION halvex.claim_control(TEXT, TEXT, BOOLEAN) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION halvex.claim_control(TEXT, TEXT, BOOLEAN) TO halvex_tower;
